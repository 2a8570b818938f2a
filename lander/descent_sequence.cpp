// The descent sequence: keys to the mother vessel, gear, engine pre-start and separation while
// attached; guidance of the thrust axis and the landing autopilot after separation.
#include "descent_sequence.h"

#include <cmath>

#include "host/keys.h"
#include "host/oapi.h"
#include "quor_tevlan.h"
#include "vector_ops.h"

namespace descent {

VECTOR3 leaned_retrograde(const VECTOR3& ground_velocity) {
    const VECTOR3& v = ground_velocity;
    VECTOR3 track_normal = cross_product(vertical, v);
    VECTOR3 dir = v;
    if (!normalise_in_place(track_normal) || !normalise_in_place(dir))
        return vertical;

    // Angle between the ground velocity and straight down: 0 falling, 90 degrees level.
    const double c = -dir.y;
    const double from_down_rad = std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c));
    double lean_rad = -from_down_rad * lean_fraction;
    if (lean_rad < -lean_limit_rad)
        lean_rad = -lean_limit_rad;
    if (lean_rad > lean_limit_rad)
        lean_rad = lean_limit_rad;

    return matrix_times_vector(axis_rotation_matrix(track_normal, lean_rad), _V(-v.x, -v.y, -v.z));
}

VECTOR3 against_wind(const VECTOR3& wind) {
    VECTOR3 w = wind;
    if (!normalise_in_place(w))
        return vertical;
    VECTOR3 axis = cross_product(vertical, w);
    if (!normalise_in_place(axis))
        return vertical;
    return matrix_times_vector(axis_rotation_matrix(axis, -wind_tilt_rad), vertical);
}

}  // namespace descent

VESSEL* descent::mother_of(const quor_tevlan& lander) {
    return lander.mother_vessel ? oapiGetVesselInterface(lander.mother_vessel) : nullptr;
}

namespace {

using namespace descent;

void send_key_to_mother(const quor_tevlan& lander, DWORD key) {
    if (VESSEL* mother = mother_of(lander))
        mother->SendBufferedKey(key, true, nullptr);
}

// Key J, the mother's empty mass, release of the lander; the autopilot takes over next frame.
// A mother vessel that has gone away is not acted on, but the lander, no longer carried, goes
// on into powered descent all the same.
void separate(quor_tevlan& lander) {
    if (!lander.mother_vessel)
        return;
    VESSEL* mother = oapiGetVesselInterface(lander.mother_vessel);
    ATTACHMENTHANDLE carrier_point = nullptr;
    if (mother) {
        carrier_point = mother->GetAttachmentHandle(false, 0);
        mother->SendBufferedKey(OAPI_KEY_J, true, nullptr);
    }
    lander.key_j_sent = 1;
    if (mother) {
        mother->SetEmptyMass(mother_empty_mass_kg);
        mother->DetachChild(carrier_point, separation_speed_m_s);
    }
    lander.autopilot_phase = powered_descent;
    oapiSetFocusObject(lander.GetHandle());
}

// One rule per frame: the first whose height has been passed.
void step_attached_descent(quor_tevlan& lander, double height_m) {
    if (height_m < separation_below_m) {
        separate(lander);
    } else if (height_m < prestart_below_m) {
        lander.SetThrusterGroupLevel(THGROUP_MAIN, prestart_level);
    } else if (height_m < gear_below_m && lander.leg_status != at_rest_closed) {
        lander.leg_status = closing;
    } else if (height_m < key_g_below_m && lander.key_g_sent == 0) {
        send_key_to_mother(lander, OAPI_KEY_G);
        lander.key_g_sent = 1;
    } else if (height_m < key_k_below_m && lander.key_k_sent == 0) {
        send_key_to_mother(lander, OAPI_KEY_K);
        lander.key_k_sent = 1;
    }
}

// High up: lean against the wind, or take the fixed direction when there is none.
VECTOR3 high_steering(const quor_tevlan& lander, double mean_radius_height_m) {
    if (!lander.mars_handle)
        return no_wind_direction;
    double lng_rad = 0.0, lat_rad = 0.0, radius_m = 0.0;
    lander.GetEquPos(lng_rad, lat_rad, radius_m);
    double wind_speed_m_s = 0.0;
    const VECTOR3 wind = oapiGetWindVector(lander.mars_handle, lng_rad, lat_rad,
                                           mean_radius_height_m, 0, &wind_speed_m_s);
    return wind_speed_m_s > 0.0 ? against_wind(wind) : no_wind_direction;
}

void step_powered_descent(quor_tevlan& lander, double height_m, double mean_radius_height_m) {
    VECTOR3 ground_velocity;
    lander.GetGroundspeedVector(FRAME_HORIZON, ground_velocity);
    VECTOR3 dir = leaned_retrograde(ground_velocity);
    if (height_m > wind_steering_above_m)
        dir = high_steering(lander, mean_radius_height_m);
    if (height_m < vertical_below_m)
        dir = vertical;
    lander.HorizonInvRot(dir, lander.target_dir);
    lander.step_landing_autopilot();
}

}  // namespace

void quor_tevlan::step_descent_sequence() {
    const double height_m = GetAltitude(ALTMODE_GROUND);
    const double mean_radius_height_m = GetAltitude(ALTMODE_MEANRAD);
    if (autopilot_phase == attached_descent)
        step_attached_descent(*this, height_m);
    else if (autopilot_phase == powered_descent)
        step_powered_descent(*this, height_m, mean_radius_height_m);
}
