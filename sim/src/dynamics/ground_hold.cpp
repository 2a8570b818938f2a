#include "ground_hold.h"

#include <algorithm>
#include <cmath>

#include "sim/body.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/rest.h"
#include "sim/up_axis.h"
#include "sim/world.h"
#include "step_loads.h"

namespace sim {

// Fixes a resting vessel to the surface, turning with it, for h seconds up to elapsed_s into
// the frame. False, with nothing of the step taken, when thrust and drag outweigh its weight:
// it is free then, with the ground's motion.
bool hold_landed(const World& w, Vessel& v, double elapsed_s, double h) {
    const Body& b = *v.state.ref;
    StepLoads free_loads = surroundings(w, v, h, false);
    add_thrust(v, thrust(v, 0.0), free_loads);
    VECTOR3 up = unit(v.state.rpos);
    double lift = dot(free_loads.force + gravity(v) * v.mass_kg(), up);
    if (lift > 0.0) {
        v.state.landed = false;
        v.state.liftoff_pending = true;
        v.state.lifted_off = true;
        v.state.rvel = b.surface_velocity(v.state.rpos, w.clock.mjd);
        v.state.omega = turning_with_ground(w, v);
        return false;
    }
    thrust(v, h);  // the engines burn while held
    burn_propellant(v, 1.0);
    MATRIX3 body = b.rotation(w.clock.mjd_after(elapsed_s));
    v.state.rpos = mul(body, v.state.landed_pos_body);
    v.state.rot = mul(body, v.state.landed_rot_body);
    v.state.rvel = b.surface_velocity(v.state.rpos, w.clock.mjd);
    v.state.omega = turning_with_ground(w, v);
    v.state.ground_contact = true;
    return true;
}

FlightState::Touchdown touchdown_figures(const World& w, const Vessel& v, double elapsed_s) {
    VECTOR3 vg = mul(global_to_horizon(w, v), ground_velocity(w, v));
    VECTOR3 axis = mul(vessel_to_horizon(w, v), up_axis(v.config));
    FlightState::Touchdown td;
    td.vertical_m_s = std::abs(vg.y);
    td.horizontal_m_s = std::hypot(vg.x, vg.z);
    td.tilt_deg = std::acos(std::clamp(axis.y, -1.0, 1.0)) * 180.0 / M_PI;
    td.propellant_kg = v.propellant_mass_kg();
    td.time_s = w.clock.t_s + elapsed_s;
    return td;
}

void record_touchdown(Vessel& v, const FlightState::Touchdown& td) {
    if (v.state.touchdowns.empty())
        v.state.touchdown = td;
    v.state.touchdowns.push_back(td);
    v.state.ever_touched = true;
    v.state.lifted_off = v.state.left_ground = false;
    v.state.touchdown_pending = true;
}

// A vessel that really rests, still on what holds it with its origin above the ground, is
// held to the surface from then on.
void hold_when_rested(const World& w, Vessel& v, bool contact, double elapsed_s, double h,
                      double& rest_timer) {
    if (!contact && v.state.lifted_off)
        v.state.left_ground = true;
    if (!contact || !v.state.ref) {
        rest_timer = 0.0;
        return;
    }
    bool still = still_with_ground(w, v) && height_above_ground(w, v) > 0.0;
    rest_timer = still ? rest_timer + h : 0.0;
    if (rest_timer < kHoldAfter_s)
        return;
    MATRIX3 body = v.state.ref->rotation(w.clock.mjd_after(elapsed_s));
    v.state.landed = true;
    v.state.landed_pos_body = tmul(body, v.state.rpos);
    v.state.landed_rot_body = mul(transpose(body), v.state.rot);
    v.state.omega = turning_with_ground(w, v);
    rest_timer = 0.0;
}

void turn_with_ground(const World& w, Vessel& v) {
    v.state.omega = turning_with_ground(w, v);
}

}  // namespace sim
