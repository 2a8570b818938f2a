// b_tvm58: a launch-pad base. It finds the rocket standing on it, swings its umbilical arms away
// at lift-off, lights plumes for a few seconds and switches its lights by day and night.
#pragma once

#include "host/vessel.h"

// Umbilical status: what the three swing arms are doing. A scenario may hold other values; the
// motion treats one below 2 as resting and one above 3 as moving towards 1.
enum umbilical_status : int {
    umb_at_rocket = 0,     // at rest at state 0
    umb_swung_away = 1,    // at rest at state 1
    umb_to_rocket = 2,     // moving towards state 0
    umb_swinging_away = 3  // moving towards state 1
};

constexpr int beacon_count = 4;
constexpr int spotlight_count = 3;
// The one tank that feeds the effect thrusters, full at creation and after a load.
constexpr double tank_kg = 750;

class b_tvm58 final : public VESSEL2 {
  public:
    b_tvm58(OBJHANDLE hvessel, int flightmodel);

    // Callbacks, in the order of the callback table.
    void clbkClassSetup(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;
    void clbkReadState(FILEHANDLE scn, void* status) override;
    void clbkAfterCreation() override;  // refills the tank
    // Each frame: rocket search, launch trigger, plumes, lights, beacons, vent hold.
    void clbkBeforeStep(double simt, double simdt, double mjd) override;
    void clbkPostStep(double simt, double simdt, double mjd) override;  // umbilical motion
    int clbkKeyEvent(DWORD key, bool down, char* kstate) override;

    // Own operations.
    void define_umbilical_animation();
    void revert_umbilical();  // reverses the umbilical's direction of motion

    // State record, in declaration order. Defaults are written at the start of clbkClassSetup.
    int umb_status;
    UINT anim_umb;
    double umb_state;  // 0 arms at the rocket .. 1 arms swung away
    THRUSTER_HANDLE th_lights, th_vent, th_side_plume, th_pad_plume;
    PROPELLANT_HANDLE ph_tank;
    BEACONLIGHTSPEC beacon[beacon_count];
    LightEmitter* spotlight[spotlight_count];
    int lights_off;  // 1: the user switched the lights off
    int vent_held;   // 1: the vent is suspended while time runs fast

  private:
    void set_defaults();
    void define_configuration();  // body, thrusters and their effects, beacons, floodlights
};

// One frame of umbilical motion at 0.25 state per second. moved: the animation is to be posed.
struct umbilical_motion {
    int status;
    double state;
    bool moved;
};
umbilical_motion advance_umbilical(int status, double state, double dt_s);

// The status after a reversal: a mechanism at or moving towards the rocket starts away from it;
// any other towards it.
int reverted_umbilical_status(int status);

// The night measure: the sine of the Sun's elevation above the pad's ground plane (its x-y
// plane), from a vector towards the Sun in the pad frame.
double sun_elevation_sine(const VECTOR3& sun_in_pad_frame);

// Reads the value of a scenario line "UMB status state" (the text after the keyword) as the scan
// format "%d%lf" reads it. A field that cannot be read keeps its value, and reading stops at it;
// so does one that the pad could not save and read back: a status beyond int, a state not
// finite, or a field whose saved value ("%d %0.4f" of the pair) would not fit its 256-character
// buffer.
void read_umbilical_line(const char* value, int& status, double& state);
