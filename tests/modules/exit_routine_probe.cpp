// A vessel module whose library exports an exit routine under the name the build chooses
// (PROBE_EXIT_MODULE, PROBE_OPC_DLL_EXIT, both or neither). Each routine records its call in
// an environment variable, which outlives the library.
#include <cstdlib>

#ifdef _WIN32
// The C runtime's name for it.
inline int setenv(const char* name, const char* value, int) {
    return _putenv_s(name, value);
}
#endif
#include <string>

#include "host/module_frame.h"
#include "host/vessel.h"

namespace {
class probe_vessel final : public VESSEL2 {
  public:
    using VESSEL2::VESSEL2;
};

[[maybe_unused]] void record_call(const char* routine) {
    const char* before = std::getenv("VESSELSIM_EXIT_ROUTINE_CALLED");
    std::string calls = before ? std::string(before) + " " + routine : routine;
    setenv("VESSELSIM_EXIT_ROUTINE_CALLED", calls.c_str(), 1);
}
}  // namespace

VESSEL* module::create_vessel(OBJHANDLE h, int fmodel) {
    return new probe_vessel(h, fmodel);
}
void module::destroy_vessel(VESSEL* v) {
    delete static_cast<probe_vessel*>(v);
}
const char module::build_date[] = "Jan 01 2020";

#ifdef PROBE_EXIT_MODULE
MODULE_EXPORT void ExitModule(HINSTANCE) {
    record_call("ExitModule");
}
#endif
#ifdef PROBE_OPC_DLL_EXIT
MODULE_EXPORT void opcDLLExit(HINSTANCE) {
    record_call("opcDLLExit");
}
#endif
