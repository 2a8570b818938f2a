#include "sim/physics.h"

#include <algorithm>
#include <cmath>

#include "sim/attachments.h"
#include "sim/attitude.h"
#include "sim/body.h"
#include "sim/frames.h"
#include "sim/mass_properties.h"
#include "sim/rest.h"
#include "sim/vessel.h"
#include "sim/world.h"
#include "step_loads.h"

namespace sim {

namespace {

// Internal step lengths: fine near the ground, where the touchdown springs need it to stay
// stable, coarser in free flight.
constexpr double kContactStep_s = 0.001;
constexpr double kFreeStep_s = 0.02;
constexpr double kNearGround_m = 100.0;

// Above this height over the mean radius a scenario's constant wind no longer blows.
constexpr double kWindCeiling_m = 100e3;

// Gravity of the reference body, global orientation, m/s^2.
VECTOR3 gravity(const Vessel& v) {
    if (!v.state.ref)
        return {0, 0, 0};
    double r = length(v.state.rpos);
    if (r <= 0.0)
        return {0, 0, 0};
    return v.state.rpos * (-v.state.ref->gm_m3_s2 / (r * r * r));
}

// Air velocity at the vessel, global orientation: the air turns with the body, plus the wind.
VECTOR3 air_velocity(const World& w, const Vessel& v) {
    const Body& b = *v.state.ref;
    VECTOR3 air = b.surface_velocity(v.state.rpos, w.clock.mjd);
    VECTOR3 wind = wind_horizon(b, length(v.state.rpos) - b.mean_radius_m);
    // Calm air needs no horizon frame.
    if (wind.x == 0.0 && wind.y == 0.0 && wind.z == 0.0)
        return air;
    return air + mul(transpose(global_to_horizon(w, v)), wind);
}

// Thrust of a thruster at its level, N, with the propellant it would burn in h seconds.
double thrust_of(const Thruster& t, double h, double& burn_kg) {
    burn_kg = 0.0;
    if (t.level <= 0.0 || t.max_thrust_n <= 0.0)
        return 0.0;
    if (!t.tank || t.tank->mass_kg <= 0.0)
        return 0.0;
    double f = t.max_thrust_n * t.level;
    if (t.isp_m_s <= 0.0)
        return f;
    burn_kg = f / t.isp_m_s * h / std::max(t.tank->efficiency, 1e-9);
    if (burn_kg > t.tank->mass_kg) {  // the tank runs dry within the step
        f *= t.tank->mass_kg / burn_kg;
        burn_kg = t.tank->mass_kg;
    }
    return f;
}

// The thrust of a vessel and of the children hanging on it over one step, in the vessel's
// frame about its origin: fixed to the vessel for the whole step, so that the step's impulse
// is the propellant it burns times the exhaust speed, even when a tank runs dry within it.
struct Thrust {
    VECTOR3 force{0, 0, 0};   // N
    VECTOR3 torque{0, 0, 0};  // N m
};

// Propellant is burnt for h seconds (none for h = 0).
Thrust thrust(const Vessel& v, double h) {
    Thrust out;
    for (const auto& t : v.thrusters) {
        double burn = 0.0;
        double f = thrust_of(*t, h, burn);
        if (f <= 0.0)
            continue;
        t->tank->mass_kg = std::max(0.0, t->tank->mass_kg - burn);
        VECTOR3 fl = t->dir * f;
        out.force += fl;
        out.torque += cross(fl, t->pos);
    }
    for (const auto& a : v.attachments) {
        if (a->to_parent || !a->attached)
            continue;
        Thrust child = thrust(*a->attached, h);
        RelativePlace place = relative_place(v, *a->attached);
        VECTOR3 f = mul(place.rot, child.force);
        out.force += f;
        out.torque += mul(place.rot, child.torque) + cross(f, place.offset_m);
    }
    return out;
}

void add_thrust(const Vessel& v, const Thrust& t, StepLoads& out) {
    out.force += mul(v.state.rot, t.force);
    out.torque += t.torque;
}

// Aerodynamic drag and rotational drag about the vessel's origin.
void add_drag(const World& w, const Vessel& v, StepLoads& out) {
    if (!v.state.ref)
        return;
    const MATRIX3& R = v.state.rot;
    const Body& b = *v.state.ref;
    double rho = b.air_density(length(v.state.rpos) - b.mean_radius_m);
    if (rho <= 0.0)
        return;
    VECTOR3 u = tmul(R, v.state.rvel - air_velocity(w, v));  // airflow relative to the vessel
    double speed = length(u);
    const VesselConfig& c = v.config;
    double q = 0.5 * rho * speed;
    VECTOR3 drag{-q * u.x * c.cw[2] * c.cross_sections_m2.x,
                 -q * u.y * c.cw[3] * c.cross_sections_m2.y,
                 -q * u.z * (u.z >= 0.0 ? c.cw[0] : c.cw[1]) * c.cross_sections_m2.z};
    out.force += mul(R, drag);
    double s4 = derived_figures(c).size4_m4;
    const VECTOR3& om = v.state.omega;
    out.torque += VECTOR3{-c.rot_drag.x * om.x, -c.rot_drag.y * om.y, -c.rot_drag.z * om.z} *
                  (rho * speed * s4);
}

// Drag and, when contact is set, ground contact of a vessel and of the children hanging on
// it; the children's loads act on the vessel where they hang.
StepLoads surroundings(const World& w, const Vessel& v, double h, bool contact) {
    StepLoads out;
    add_drag(w, v, out);
    if (contact)
        add_contact(v, w.clock.mjd, h, out);
    for (const auto& a : v.attachments) {
        if (a->to_parent || !a->attached)
            continue;
        StepLoads child = surroundings(w, *a->attached, h, contact);
        RelativePlace place = relative_place(v, *a->attached);
        out.force += child.force;
        out.torque +=
            mul(place.rot, child.torque) + cross(tmul(v.state.rot, child.force), place.offset_m);
        out.contact = out.contact || child.contact;
    }
    return out;
}

// Loads over an internal step of h seconds with the step's thrust.
StepLoads loads(const World& w, const Vessel& v, const Thrust& t, double h) {
    StepLoads out = surroundings(w, v, h, true);
    add_thrust(v, t, out);
    return out;
}

void orthonormalise(MATRIX3& R) {
    VECTOR3 z = unit(VECTOR3{R.m13, R.m23, R.m33});
    VECTOR3 y{R.m12, R.m22, R.m32};
    y = unit(y - z * dot(y, z));
    VECTOR3 x = cross(y, z);
    R = from_columns(x, y, z);
}

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
        v.state.rvel = b.surface_velocity(v.state.rpos, w.clock.mjd);
        v.state.omega = turning_with_ground(w, v);
        return false;
    }
    thrust(v, h);  // the engines burn while held
    MATRIX3 body = b.rotation(w.clock.mjd_after(elapsed_s));
    v.state.rpos = mul(body, v.state.landed_pos_body);
    v.state.rot = mul(body, v.state.landed_rot_body);
    v.state.rvel = b.surface_velocity(v.state.rpos, w.clock.mjd);
    v.state.omega = turning_with_ground(w, v);
    v.state.ground_contact = true;
    return true;
}

void take_touchdown(const World& w, Vessel& v, double elapsed_s) {
    VECTOR3 vg = mul(global_to_horizon(w, v), ground_velocity(w, v));
    VECTOR3 axis = mul(vessel_to_horizon(w, v), VECTOR3{0, 0, 1});
    auto& td = v.state.touchdown;
    td.vertical_m_s = std::abs(vg.y);
    td.horizontal_m_s = std::hypot(vg.x, vg.z);
    td.tilt_deg = std::acos(std::clamp(axis.y, -1.0, 1.0)) * 180.0 / M_PI;
    td.propellant_kg = v.propellant_mass_kg();
    td.time_s = w.clock.t_s + elapsed_s;
    v.state.ever_touched = true;
    v.state.touchdown_pending = true;
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

// A kick with the loads at the start, the drift of the centre and the torque-free turn, a
// kick with the loads at the end: free fall and orbits keep their energy, the touchdown
// springs stay symplectic, and a free tumble keeps its energy and angular momentum.
// Propellant is burnt once, for the thrust of the whole step.
void integrate_free(const World& w, Vessel& v, double elapsed_s, double h, double& rest_timer) {
    Thrust t = thrust(v, h);
    StepLoads start = loads(w, v, t, h);
    if (start.contact && !v.state.ever_touched)
        take_touchdown(w, v, elapsed_s - h);
    CentreMotion c{mass_properties(v), {}, {}};
    c.inverse_inertia = inverse_symmetric(c.mass.inertia_kg_m2);
    const VECTOR3& centre = c.mass.centre_m;
    c.velocity = v.state.rvel + centre_offset_velocity(v, centre);
    kick(v, c, start, 0.5 * h);
    VECTOR3 centre_pos = v.state.rpos + mul(v.state.rot, centre) + c.velocity * h;
    free_rotation_step(v.state.rot, v.state.omega, c.mass.inertia_kg_m2, c.inverse_inertia, h);
    v.state.rpos = centre_pos - mul(v.state.rot, centre);
    v.state.rvel = c.velocity - centre_offset_velocity(v, centre);
    // The loads of hanging children act where the children now are.
    place_children(w, v);
    StepLoads end = loads(w, v, t, h);
    c.velocity = v.state.rvel + centre_offset_velocity(v, centre);
    if (end.contact && !v.state.ever_touched) {
        // The touchdown is taken as the first foot touches, before its spring acts.
        StepLoads in_flight = surroundings(w, v, h, false);
        add_thrust(v, t, in_flight);
        kick(v, c, in_flight, 0.5 * h);
        v.state.rvel = c.velocity - centre_offset_velocity(v, centre);
        take_touchdown(w, v, elapsed_s);
        StepLoads contact{end.force - in_flight.force, end.torque - in_flight.torque, true};
        kick_without_gravity(v, c, contact, 0.5 * h);
    } else {
        kick(v, c, end, 0.5 * h);
    }
    v.state.rvel = c.velocity - centre_offset_velocity(v, centre);
    v.state.ground_contact = start.contact || end.contact;

    // A vessel that really rests, still on what holds it with its origin above the ground, is
    // held to the surface from then on.
    if (end.contact && v.state.ref) {
        bool still = still_with_ground(w, v) && height_above_ground(w, v) > 0.0;
        rest_timer = still ? rest_timer + h : 0.0;
        if (rest_timer >= kHoldAfter_s) {
            MATRIX3 body = v.state.ref->rotation(w.clock.mjd_after(elapsed_s));
            v.state.landed = true;
            v.state.landed_pos_body = tmul(body, v.state.rpos);
            v.state.landed_rot_body = mul(transpose(body), v.state.rot);
            v.state.omega = turning_with_ground(w, v);
            rest_timer = 0.0;
        }
    } else {
        rest_timer = 0.0;
    }
}

// How far the lowest of a vessel and its hanging children is above the ground, allowing for
// their sizes, m.
double clearance_m(const World& w, const Vessel& v) {
    double c = height_above_ground(w, v) - v.config.size_m;
    for (const auto& a : v.attachments)
        if (!a->to_parent && a->attached)
            c = std::min(c, clearance_m(w, *a->attached));
    return c;
}

}  // namespace

VECTOR3 wind_horizon(const Body& b, double altitude_m) {
    if (b.atmosphere.density0_kg_m3 <= 0.0 || altitude_m >= kWindCeiling_m)
        return {0, 0, 0};
    return b.wind_horizon;
}

void turn_with_ground(const World& w, Vessel& v) {
    v.state.omega = turning_with_ground(w, v);
}

Loads compute_loads(const World& w, const Vessel& v) {
    StepLoads l = loads(w, v, thrust(v, 0.0), kContactStep_s);
    Loads out;
    out.force_global = l.force;
    out.torque_local = l.torque;
    out.weight_global = weight_global(v);
    out.contact = l.contact;
    return out;
}

VECTOR3 weight_global(const Vessel& v) {
    return gravity(v) * v.mass_kg();
}

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
            bool near = v.state.ground_contact || clearance_m(w, v) < kNearGround_m;
            double h = std::min(near ? kContactStep_s : kFreeStep_s, dt_s - t);
            integrate_free(w, v, t + h, h, v.state.rest_timer_s);
            t += h;
        }
        orthonormalise(v.state.rot);
    }
    for (const auto& vp : w.vessels())
        if (!vp->parent())
            place_children(w, *vp);
}

}  // namespace sim
