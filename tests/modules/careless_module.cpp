// A module that gives the host bad values, chosen when it is built: a thruster level that is not
// a number, every frame (NAN_LEVEL), or no mass at all (NO_MASS); or that takes 400 MB of memory
// once a second has passed and holds it (HOARD).
#include <cmath>
#include <cstring>
#include <memory>

#include "host/module_frame.h"
#include "host/vessel.h"

namespace {

class Careless final : public VESSEL3 {
  public:
    Careless(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}
    void clbkClassSetup(FILEHANDLE) override {
#ifndef NO_MASS
        SetEmptyMass(100.0);
#endif
        SetSize(1.0);
        engine_ =
            CreateThruster({0, 0, 0}, {0, 0, 1}, 500.0, CreatePropellantResource(0.0), 3000.0);
    }
    void clbkBeforeStep([[maybe_unused]] double simt, double, double) override {
#ifdef NAN_LEVEL
        SetThrusterLevel(engine_, std::nan(""));
#endif
#ifdef HOARD
        if (simt >= 1.0 && !hoard_) {
            hoard_ = std::make_unique<char[]>(kHoardBytes);
            std::memset(hoard_.get(), 1, kHoardBytes);  // touched, so that it is held in RAM
        }
#endif
    }

  private:
    static constexpr std::size_t kHoardBytes = 400u << 20;
    THRUSTER_HANDLE engine_ = nullptr;
    std::unique_ptr<char[]> hoard_;
};

}  // namespace

namespace module {

VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new Careless(hvessel, flightmodel);
}

void destroy_vessel(VESSEL* vessel) {
    delete static_cast<Careless*>(vessel);
}

const char build_date[] = __DATE__;

}  // namespace module
