// A vessel module whose library exports an exit routine. The routine records its call in an
// environment variable, which outlives the library.
#include <cstdlib>

#include "host/module_frame.h"
#include "host/vessel.h"

namespace {
class probe_vessel final : public VESSEL2 {
  public:
    using VESSEL2::VESSEL2;
};
}  // namespace

VESSEL* module::create_vessel(OBJHANDLE h, int fmodel) {
    return new probe_vessel(h, fmodel);
}
void module::destroy_vessel(VESSEL* v) {
    delete static_cast<probe_vessel*>(v);
}
const char module::build_date[] = "Jan 01 2020";

MODULE_EXPORT void ExitModule(HINSTANCE) {
    setenv("VESSELSIM_EXIT_ROUTINE_CALLED", "1", 1);
}
