#include "sim/physics.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "contact.h"
#include "ground_hold.h"
#include "sim/attachments.h"
#include "sim/attitude.h"
#include "sim/body.h"
#include "sim/frames.h"
#include "sim/mass_properties.h"
#include "sim/world.h"
#include "step_loads.h"

namespace sim {

namespace {

// The contact steps begin once the ground is within two free steps' travel, and this much more.
constexpr double kNearGroundMargin_m = 1.0;

void orthonormalise(MATRIX3& R) {
    VECTOR3 z = unit(VECTOR3{R.m13, R.m23, R.m33});
    VECTOR3 y{R.m12, R.m22, R.m32};
    y = unit(y - z * dot(y, z));
    VECTOR3 x = cross(y, z);
    R = from_columns(x, y, z);
}

// The rigid motion of a vessel and its hanging children over one step, about their common
// centre of mass: the centre's velocity and the angular velocity.
struct CentreMotion {
    MassProperties mass;
    MATRIX3 inverse_inertia;
    VECTOR3 velocity;  // of the centre of mass, global orientation, m/s
};

VECTOR3 centre_offset_velocity(const Vessel& v, const VECTOR3& centre) {
    return mul(v.state.rot, cross(centre, v.state.omega));
}

// Half a step's change of the centre's velocity and of the rotation rate under the given loads,
// whose torque is moved from the origin to the centre of mass; kick() adds gravity.
void kick_without_gravity(Vessel& v, CentreMotion& c, const StepLoads& l, double half_h) {
    const MassProperties& mp = c.mass;
    if (mp.mass_kg <= 0.0)
        return;
    c.velocity += l.force * (half_h / mp.mass_kg);
    VECTOR3 torque = l.torque - cross(tmul(v.state.rot, l.force), mp.centre_m);
    v.state.omega += mul(c.inverse_inertia, torque) * half_h;
}

void kick(Vessel& v, CentreMotion& c, const StepLoads& l, double half_h) {
    c.velocity += gravity(v) * half_h;
    kick_without_gravity(v, c, l, half_h);
}

// The height of the lowest point of a vessel and of the children hanging on it, m.
double lowest_hanging_point_height_m(const Vessel& v) {
    double lowest = lowest_point_height_m(v);
    for_each_hanging(v,
                     [&](const Vessel& d) { lowest = std::min(lowest, lowest_point_height_m(d)); });
    return lowest;
}

// What a step that may end in a first contact keeps of its start.
struct StepStart {
    double lowest_m;  // height of the lowest point
    FlightState::Touchdown figures;
};

// The touchdown of a step that ended in first contact, at the instant within the step at which
// the lowest point met the ground (its height taken as linear over the step), its figures
// interpolated between the step's start and its end before the contact acted. Without the
// start, at the step's end.
FlightState::Touchdown touchdown_in_step(const World& w, const Vessel& v, double elapsed_s,
                                         const std::optional<StepStart>& before) {
    FlightState::Touchdown end = touchdown_figures(w, v, elapsed_s);
    if (!before || !(before->lowest_m > 0.0))
        return end;
    const double lowest_end = lowest_hanging_point_height_m(v);
    const double f = std::clamp(before->lowest_m / (before->lowest_m - lowest_end), 0.0, 1.0);
    const FlightState::Touchdown& a = before->figures;
    auto at = [f](double x0, double x1) { return x0 + (x1 - x0) * f; };
    end.vertical_m_s = at(a.vertical_m_s, end.vertical_m_s);
    end.horizontal_m_s = at(a.horizontal_m_s, end.horizontal_m_s);
    end.tilt_deg = at(a.tilt_deg, end.tilt_deg);
    end.propellant_kg = at(a.propellant_kg, end.propellant_kg);
    end.time_s = at(a.time_s, end.time_s);
    return end;
}

// A kick with the loads at the start, the drift of the centre and the torque-free turn, a
// kick with the loads at the end: free fall and orbits keep their energy, the touchdown
// springs stay symplectic, and a free tumble keeps its energy and angular momentum.
// Loads that depend on velocity (drag, the springs' damping) are taken at the end with the
// velocities the step is predicted to end with (the first kick's change once more), so that
// the step stays second order with them too.
// The thrust is fixed for the step; half its propellant is burnt before the kicks and half
// after the drift, so that both kicks move the mass of mid-step: a steady burn then follows
// the rocket equation to second order in the step, as the rest of the step does.
void integrate_free(const World& w, Vessel& v, double elapsed_s, double h, bool near,
                    double& rest_timer) {
    Thrust t = thrust(v, h);
    StepLoads start = loads(w, v, t, h);
    if (start.contact && touchdown_due(v.state))
        take_touchdown(w, v, elapsed_s - h);
    // Close to a first contact, the step's start is kept to find the touchdown's instant in it.
    std::optional<StepStart> before;
    if (near && !start.contact && touchdown_due(v.state))
        before =
            StepStart{lowest_hanging_point_height_m(v), touchdown_figures(w, v, elapsed_s - h)};
    burn_propellant(v, 0.5);
    CentreMotion c{mass_properties(v), {}, {}};
    c.inverse_inertia = inverse_symmetric(c.mass.inertia_kg_m2);
    const VECTOR3& centre = c.mass.centre_m;
    c.velocity = v.state.rvel + centre_offset_velocity(v, centre);
    const VECTOR3 velocity_before = c.velocity, omega_before = v.state.omega;
    kick(v, c, start, 0.5 * h);
    const VECTOR3 half_dv = c.velocity - velocity_before,
                  half_domega = v.state.omega - omega_before;
    VECTOR3 centre_pos = v.state.rpos + mul(v.state.rot, centre) + c.velocity * h;
    free_rotation_step(v.state.rot, v.state.omega, c.mass.inertia_kg_m2, c.inverse_inertia, h);
    v.state.rpos = centre_pos - mul(v.state.rot, centre);
    burn_propellant(v, 1.0);

    // The loads at the end, at the predicted end velocities; those of hanging children act
    // where the children now are.
    const VECTOR3 omega_mid = v.state.omega;
    v.state.omega = omega_mid + half_domega;
    v.state.rvel = c.velocity + half_dv - centre_offset_velocity(v, centre);
    place_children(w, v);
    const StepLoads end = loads(w, v, t, h);
    const bool touching = end.contact && touchdown_due(v.state);
    StepLoads in_flight;
    if (touching) {
        in_flight = surroundings(w, v, h, false);
        add_thrust(v, t, in_flight);
    }
    v.state.omega = omega_mid;
    if (touching) {
        // The touchdown is taken as the first foot touches, before its spring acts.
        kick(v, c, in_flight, 0.5 * h);
        v.state.rvel = c.velocity - centre_offset_velocity(v, centre);
        record_touchdown(v, touchdown_in_step(w, v, elapsed_s, before));
        StepLoads contact{end.force - in_flight.force, end.torque - in_flight.torque, true};
        kick_without_gravity(v, c, contact, 0.5 * h);
    } else {
        kick(v, c, end, 0.5 * h);
    }
    v.state.rvel = c.velocity - centre_offset_velocity(v, centre);
    v.state.ground_contact = start.contact || end.contact;
    // The children move with the vessel's end velocities, which the next step's loads see.
    place_children(w, v);

    hold_when_rested(w, v, end.contact, elapsed_s, h, rest_timer);
}

// How far the lowest of a vessel and its hanging children is above the ground, allowing for
// their sizes and for how far their touchdown points reach, m.
double clearance_m(const World& w, const Vessel& v) {
    auto reach = [](const Vessel& d) {
        return std::max(d.config.size_m, derived_figures(d.config).reach_m);
    };
    double c = height_above_ground(w, v) - reach(v);
    for_each_hanging(
        v, [&](const Vessel& d) { c = std::min(c, height_above_ground(w, d) - reach(d)); });
    return c;
}

// Whether the next internal step must be a contact step: touching, or close enough to the
// ground to touch it within two free steps.
bool near_ground(const World& w, const Vessel& v) {
    if (v.state.ground_contact)
        return true;
    const double travel_m = 2.0 * w.steps.free_s * length(ground_velocity(w, v));
    return clearance_m(w, v) < travel_m + kNearGroundMargin_m;
}

}  // namespace

double height_above_ground(const World&, const Vessel& v) {
    if (!v.state.ref)
        return length(v.state.rpos);
    return length(v.state.rpos) - v.state.ref->ground_radius_m();
}

void advance_motion(World& w, double dt_s) {
    if (dt_s <= 0.0)
        return;
    for (const auto& vp : w.vessels()) {
        Vessel& v = *vp;
        if (v.parent())
            continue;  // moved with its parent below
        if (!v.state.ref)
            v.state.ref = w.dominant_body(global_pos(w, v));
        double t = 0.0;
        while (t < dt_s) {
            // Held to the turning surface, its place is a function of time: the rest of the
            // frame is one step, however long time acceleration makes it.
            if (v.state.landed && hold_landed(w, v, dt_s, dt_s - t))
                break;
            const bool near = near_ground(w, v);
            double h = std::min(near ? w.steps.contact_s : w.steps.free_s, dt_s - t);
            integrate_free(w, v, t + h, h, near, v.state.rest_timer_s);
            t += h;
        }
        orthonormalise(v.state.rot);
    }
    for (const auto& vp : w.vessels())
        if (!vp->parent())
            place_children(w, *vp);
}

}  // namespace sim
