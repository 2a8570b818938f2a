// The lander's per-frame driver, run by the simulator before each physics step.
#include "frame_driver.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "descent_sequence.h"
#include "host/keys.h"
#include "host/oapi.h"
#include "quor_tevlan.h"
#include "vector_ops.h"

namespace driver {

double dust_level(double main_level, double height_m, double axis_up) {
    if (!(height_m < dust_below_m))
        return 0.0;
    const double c = axis_up > 1.0 ? 1.0 : (axis_up < -1.0 ? -1.0 : axis_up);
    const double tilt_rad = std::acos(c);
    const double faded_rad =
        3.0 * tilt_rad < std::numbers::pi / 2 ? 3.0 * tilt_rad : std::numbers::pi / 2;
    // Full dust from 1 m down, also when the origin sinks to or below the ground.
    const double height_factor = height_m > 1.0 ? 1.0 / height_m : 1.0;
    return main_level * height_factor * std::cos(faded_rad);
}

void advance_mechanism(int& status, double& state, mechanism_rates rates, double step_s) {
    switch (status) {
        case at_rest_closed:
            state = 0.0;
            break;
        case opening:
            state += rates.out_per_s * step_s;
            if (state > 1.0) {
                state = 1.0;
                status = at_rest_open;
            }
            break;
        case at_rest_open:
            state = 1.0;
            break;
        case closing:
            state -= rates.in_per_s * step_s;
            if (state < 0.0) {
                state = 0.0;
                status = at_rest_closed;
            }
            break;
        default:
            break;
    }
}

}  // namespace driver

namespace {

using namespace driver;

// Dust raised by the engines near the ground; kept as it is while the lander hangs on a parent.
void update_dust(quor_tevlan& lander) {
    const double height_m = lander.GetAltitude(ALTMODE_GROUND);
    if (!(height_m < dust_below_m)) {
        lander.SetThrusterLevel(lander.dust_thruster, 0.0);
        return;
    }
    if (lander.GetAttachmentStatus(lander.mother_attachment))
        return;
    VECTOR3 axis;
    lander.HorizonRot(_V(0, 0, 1), axis);
    const double main_level = lander.GetThrusterGroupLevel(THGROUP_MAIN);
    lander.SetThrusterLevel(lander.dust_thruster, dust_level(main_level, height_m, axis.y));
}

bool near_mars(const quor_tevlan& lander) {
    VECTOR3 pos;
    lander.GetRelativePos(lander.mars_handle, pos);
    return vector_length(pos) < near_mars_m;
}

// Arms the descent near Mars (the sequence starts next frame), or runs one step of it.
void step_phase(quor_tevlan& lander) {
    if (lander.autopilot_phase == autopilot_armed && lander.mars_handle) {
        if (near_mars(lander))
            lander.autopilot_phase = attached_descent;
    } else if (lander.autopilot_phase > autopilot_armed) {
        lander.step_descent_sequence();
    }
}

// Key U, once, to the mother vessel standing on the ground near the lander.
void send_key_u_once(quor_tevlan& lander) {
    if (lander.key_u_sent != 0 || !lander.mars_handle)
        return;
    if (!near_mars(lander) || !lander.mother_vessel)
        return;
    VESSEL* mother = descent::mother_of(lander);
    if (mother && mother->GroundContact()) {
        mother->SendBufferedKey(OAPI_KEY_U, true, nullptr);
        lander.key_u_sent = 1;
    }
}

// Once, high up, a small push along the free mother vessel's own axis.
void push_mother_once(quor_tevlan& lander) {
    if (lander.mother_pushed != 0)
        return;
    if (!(lander.GetAltitude(ALTMODE_GROUND) > push_above_m) || !lander.mother_vessel)
        return;
    VESSEL* mother = descent::mother_of(lander);
    if (!mother)
        return;
    ATTACHMENTHANDLE to_parent = mother->GetAttachmentHandle(true, 0);
    if (mother->GetAttachmentStatus(to_parent))
        return;

    VESSELSTATUS2 status;
    std::memset(&status, 0, sizeof status);
    status.version = 2;
    mother->GetStatusEx(&status);
    VECTOR3 push_global;
    mother->GlobalRot(push_m_s, push_global);
    status.rvel = _V(status.rvel.x + push_global.x, status.rvel.y + push_global.y,
                     status.rvel.z + push_global.z);
    mother->DefSetStateEx(&status);
    lander.mother_pushed = 1;
}

void move_mechanisms(quor_tevlan& lander, double step_s) {
    advance_mechanism(lander.ant_status, lander.ant_state, hga_rates, step_s);
    lander.SetAnimation(lander.anim_ant, lander.ant_state);
    advance_mechanism(lander.arm_status, lander.arm_state, arm_rates, step_s);
    lander.SetAnimation(lander.anim_arm, lander.arm_state);
    advance_mechanism(lander.met_status, lander.met_state, mast_rates, step_s);
    lander.SetAnimation(lander.anim_met, lander.met_state);
    advance_mechanism(lander.leg_status, lander.leg_state, gear_rates, step_s);
    lander.SetAnimation(lander.anim_leg, lander.leg_state);
}

}  // namespace

void quor_tevlan::clbkBeforeStep(double /*simt*/, double simdt, double /*mjd*/) {
    last_step = simdt;
    update_dust(*this);
    step_phase(*this);
    send_key_u_once(*this);
    push_mother_once(*this);
    move_mechanisms(*this, simdt);
}
