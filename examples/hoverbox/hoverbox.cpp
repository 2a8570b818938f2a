// hoverbox: a 200 kg box with one engine under it that holds a height above the ground.
//
// Scenario line of its own:   HOLD metres   the height it holds (default 20)
// Keys:                        U, D          hold 10 m higher, lower
//
// Build it against an installed vesselsim (docs/module-guide.md), then fly it:
//   vesselsim run hoverbox.scn --modules . --until 60 --key 30:U
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/keys.h"
#include "host/module_frame.h"
#include "host/oapi.h"
#include "host/vessel.h"

namespace {

constexpr double kEmptyMass = 150.0;  // kg
constexpr double kFuel = 50.0;        // kg
constexpr double kThrust = 2000.0;    // N, enough for 2.7 times its weight on Mars
constexpr double kIsp = 2500.0;       // m/s

class HoverBox final : public VESSEL3 {
  public:
    HoverBox(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}

    // Once, right after creation: everything the simulator should know about the box.
    void clbkClassSetup(FILEHANDLE) override {
        SetEmptyMass(kEmptyMass);
        SetSize(1.0);
        SetPMI(_V(0.17, 0.17, 0.17));
        SetCrossSections(_V(1, 1, 1));
        const TOUCHDOWNVTX feet[] = {{_V(0.5, 0, -0.5), 3e4, 3e3, 0.5, 0.5},
                                     {_V(-0.25, 0.43, -0.5), 3e4, 3e3, 0.5, 0.5},
                                     {_V(-0.25, -0.43, -0.5), 3e4, 3e3, 0.5, 0.5}};
        SetTouchdownPoints(feet, 3);
        PROPELLANT_HANDLE tank = CreatePropellantResource(kFuel);
        engine_ = CreateThruster(_V(0, 0, -0.5), _V(0, 0, 1), kThrust, tank, kIsp);
        CreateThrusterGroup(&engine_, 1, THGROUP_MAIN);
    }

    // Takes its own line; every other line goes back to the simulator, which reads the
    // standard ones (STATUS, RPOS, ...).
    void clbkReadState(FILEHANDLE scn, void* status) override {
        char* line = nullptr;
        while (oapiReadScenario_nextline(scn, line)) {
            if (!std::strncmp(line, "HOLD ", 5))
                hold_m_ = std::atof(line + 5);
            else
                ParseScenarioLineEx(line, status);
        }
    }

    // The standard lines first, then its own.
    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL3::clbkSaveState(scn);
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", hold_m_);
        oapiWriteScenario_string(scn, "HOLD", text);
    }

    // Each frame, before the motion: the engine level that holds the height.
    void clbkBeforeStep(double, double, double) override {
        VECTOR3 weight, velocity;
        GetWeightVector(weight);
        GetGroundspeedVector(FRAME_HORIZON, velocity);
        const double hover = length(weight) / kThrust;  // the level that balances the weight
        const double error = hold_m_ - GetAltitude(ALTMODE_GROUND);
        const double level = hover * (1.0 + 0.05 * error - 0.3 * velocity.y);
        SetThrusterLevel(engine_, std::fmin(1.0, std::fmax(0.0, level)));
    }

    // U and D move the height it holds; other keys are left to the simulator.
    int clbkKeyEvent(DWORD key, bool down, char*) override {
        if (!down || (key != OAPI_KEY_U && key != OAPI_KEY_D))
            return 0;
        hold_m_ += key == OAPI_KEY_U ? 10.0 : -10.0;
        char text[64];
        std::snprintf(text, sizeof text, "hoverbox %s: holding %.1f m", GetName(), hold_m_);
        oapiWriteLog(text);
        return 1;
    }

  private:
    static double length(const VECTOR3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

    THRUSTER_HANDLE engine_ = nullptr;
    double hold_m_ = 20.0;
};

}  // namespace

// What the module frame asks of the library: create and destroy its vessels, and its date.
namespace module {

VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new HoverBox(hvessel, flightmodel);
}

void destroy_vessel(VESSEL* vessel) {
    delete static_cast<HoverBox*>(vessel);
}

const char build_date[] = __DATE__;

}  // namespace module
