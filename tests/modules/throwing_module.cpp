// A module whose code throws from one place, chosen when it is built: its creation
// (THROW_IN_INIT), its class set-up (THROW_IN_SETUP), its step after the motion
// (THROW_IN_POST_STEP) or the saving of its scenario lines (THROW_IN_SAVE); or whose step after
// the motion never returns (HANG_IN_POST_STEP). The program must name
// the class and the callback, and go on living.
#include <chrono>
#include <stdexcept>
#include <thread>

#include "host/module_frame.h"
#include "host/vessel.h"

namespace {

class Thrower final : public VESSEL3 {
  public:
    Thrower(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}
    void clbkClassSetup(FILEHANDLE) override {
#ifdef THROW_IN_SETUP
        throw std::runtime_error("deliberate throw in set-up");
#endif
        SetEmptyMass(100.0);
        SetSize(1.0);
    }
    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL3::clbkSaveState(scn);
#ifdef THROW_IN_SAVE
        throw std::runtime_error("deliberate throw in the save");
#endif
    }
    void clbkPostStep(double, double, double) override {
#ifdef THROW_IN_POST_STEP
        throw std::runtime_error("deliberate throw after the step");
#endif
#ifdef HANG_IN_POST_STEP
        while (true) std::this_thread::sleep_for(std::chrono::milliseconds(50));
#endif
    }
};

}  // namespace

namespace module {

VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel) {
#ifdef THROW_IN_INIT
    throw std::runtime_error("deliberate throw in creation");
#endif
    return new Thrower(hvessel, flightmodel);
}

void destroy_vessel(VESSEL* vessel) {
    delete static_cast<Thrower*>(vessel);
}

const char build_date[] = __DATE__;

}  // namespace module
