// quor_tevlan: a Mars lander. It rides down attached to a carrier, signals it by keys at fixed
// heights, lowers its gear, separates below 1490 m and lands itself with a landing autopilot.
// On the ground the user deploys its antenna, sampling arm, weather mast and gear.
#pragma once

#include <numbers>

#include "host/vessel.h"

// Mechanism status: what a mechanism is doing.
enum mechanism_status : int {
    at_rest_closed = 0,  // at rest at state 0
    opening = 1,         // moving towards state 1
    at_rest_open = 2,    // at rest at state 1
    closing = 3          // moving towards state 0
};

// Descent and autopilot phase.
enum autopilot_phase_value : int {
    autopilot_off = -1,
    autopilot_armed = 0,
    attached_descent = 1,
    powered_descent = 2
};

constexpr int animation_component_count = 19;

// Degrees to radians, for the angles the tables give in degrees.
constexpr double rad_per_deg = std::numbers::pi / 180.0;

class quor_tevlan final : public VESSEL3 {
  public:
    quor_tevlan(OBJHANDLE hvessel, int flightmodel);
    ~quor_tevlan();

    // Callbacks, in the order of the callback table.
    void clbkClassSetup(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;  // standard lines, then the lander's eight
    // Takes the lander's lines, hands the others to the simulator, poses the mechanisms.
    void clbkReadState(FILEHANDLE scn, void* status) override;
    void clbkAfterCreation() override;  // binds Mars and the mother vessel
    // Each frame: dust, descent, mother-vessel actions, mechanisms.
    void clbkBeforeStep(double simt, double simdt, double mjd) override;
    int clbkKeyEvent(DWORD key, bool down, char* kstate) override;
    bool clbkLoadGenericCockpit() override;
    // The autopilot's state and the command list, near the HUD's left edge.
    bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) override;

    // Own operations.
    void define_animations();
    void define_configuration();  // mass, shape, mesh, camera, engines, attachment, dust
    void select_camera_view();    // applies the view camera_view selects
    // One step of the descent sequence; runs while autopilot_phase is positive.
    void step_descent_sequence();
    // One step of the landing autopilot, after target_dir has been written.
    void step_landing_autopilot();

    // State record, in declaration order. Defaults are written at the start of clbkClassSetup.
    MGROUP_TRANSFORM* anim_components[animation_component_count];
    UINT anim_ant, anim_arm, anim_leg, anim_met;
    THRUSTER_HANDLE engine_1, engine_2, engine_3;
    THRUSTER_HANDLE rcs_1, rcs_2, rcs_3, rcs_4;
    THRUSTER_HANDLE group_list[3];
    THRUSTER_HANDLE dust_thruster;
    PROPELLANT_HANDLE propellant;
    ANIMATIONCOMPONENT_HANDLE parent_component, parent_component_2;
    ATTACHMENTHANDLE mother_attachment;
    double ant_state, arm_state, leg_state, met_state;
    int ant_status, arm_status, leg_status, met_status;
    int camera_view;
    int autopilot_phase;
    VECTOR3 target_dir;
    double last_step;  // s
    int key_j_sent, key_k_sent, key_g_sent, key_u_sent;
    int mother_pushed;
    char mother_name[256];
    OBJHANDLE mother_vessel;
    OBJHANDLE mars_handle;

  private:
    void set_defaults();
};
