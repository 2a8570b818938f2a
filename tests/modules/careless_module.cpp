// A module that gives the host bad values, chosen when it is built: a thruster level that is not
// a number, every frame (NAN_LEVEL), or no mass at all (NO_MASS).
#include <cmath>

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
    void clbkBeforeStep(double, double, double) override {
#ifdef NAN_LEVEL
        SetThrusterLevel(engine_, std::nan(""));
#endif
    }

  private:
    THRUSTER_HANDLE engine_ = nullptr;
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
