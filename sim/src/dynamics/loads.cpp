#include "sim/loads.h"

#include <algorithm>
#include <cmath>

#include "contact.h"
#include "sim/body.h"
#include "sim/frames.h"
#include "sim/mass_properties.h"
#include "sim/rest.h"
#include "sim/vessel.h"
#include "sim/world.h"
#include "step_loads.h"

namespace sim {

namespace {

// Above this height over the mean radius a scenario's constant wind no longer blows.
constexpr double kWindCeiling_m = 100e3;

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

// Thrust of a thruster at its level, N, with the propellant it would burn in h seconds from
// what its tank holds beyond the step's other burns.
double thrust_of(const Thruster& t, double h, double& burn_kg) {
    burn_kg = 0.0;
    if (t.level <= 0.0 || t.max_thrust_n <= 0.0 || !t.tank)
        return 0.0;
    const double available_kg = t.tank->mass_kg - t.tank->burning_kg;
    if (available_kg <= 0.0)
        return 0.0;
    double f = t.max_thrust_n * t.level;
    if (t.isp_m_s <= 0.0)
        return f;
    burn_kg = f / t.isp_m_s * h / std::max(t.tank->efficiency, 1e-9);
    if (burn_kg > available_kg) {  // the tank runs dry within the step
        f *= available_kg / burn_kg;
        burn_kg = available_kg;
    }
    return f;
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
    // Rotational drag acts on the turning relative to the air, which turns with the body: the
    // body's angular velocity in the vessel's frame is taken away, as contact does.
    double s4 = derived_figures(c).size4_m4;
    const VECTOR3 om = v.state.omega - turning_with_ground(w, v);
    out.torque += VECTOR3{-c.rot_drag.x * om.x, -c.rot_drag.y * om.y, -c.rot_drag.z * om.z} *
                  (rho * speed * s4);
}

}  // namespace

// Gravity of the reference body, global orientation, m/s^2.
VECTOR3 gravity(const Vessel& v) {
    if (!v.state.ref)
        return {0, 0, 0};
    double r = length(v.state.rpos);
    if (r <= 0.0)
        return {0, 0, 0};
    return v.state.rpos * (-v.state.ref->gm_m3_s2 / (r * r * r));
}

namespace {

// The thrust of a vessel's own thrusters, its frame; their propellant for h seconds is set to burn.
Thrust own_thrust(const Vessel& v, double h) {
    Thrust out;
    for (const auto& t : v.thrusters) {
        double burn = 0.0;
        double f = thrust_of(*t, h, burn);
        if (f <= 0.0)
            continue;
        t->tank->burning_kg += burn;
        VECTOR3 fl = t->dir * f;
        out.force += fl;
        out.torque += cross(fl, t->pos);
    }
    return out;
}

// Drag and, when contact is set, ground contact of one vessel alone.
StepLoads own_surroundings(const World& w, const Vessel& v, double h, bool contact) {
    StepLoads out;
    add_drag(w, v, out);
    if (contact)
        add_contact(v, w.clock.mjd, h, out);
    return out;
}

}  // namespace

// The propellant for h seconds (none for h = 0) is set to burn, in each tank's burning_kg.
Thrust thrust(const Vessel& v, double h) {
    Thrust out = own_thrust(v, h);
    for_each_hanging(v, [&](const Vessel& d) {
        Thrust child = own_thrust(d, h);
        RelativePlace place = relative_place(v, d);
        VECTOR3 f = mul(place.rot, child.force);
        out.force += f;
        out.torque += mul(place.rot, child.torque) + cross(f, place.offset_m);
    });
    return out;
}

void burn_propellant(const Vessel& v, double share) {
    auto burn = [share](const Vessel& d) {
        for (const auto& p : d.propellants) {
            const double kg = p->burning_kg * share;
            p->mass_kg = std::max(0.0, p->mass_kg - kg);
            p->burning_kg = share >= 1.0 ? 0.0 : p->burning_kg - kg;
        }
    };
    burn(v);
    for_each_hanging(v, burn);
}

void add_thrust(const Vessel& v, const Thrust& t, StepLoads& out) {
    out.force += mul(v.state.rot, t.force);
    out.torque += t.torque;
}

// Drag and, when contact is set, ground contact of a vessel and of what hangs on it; the
// children's loads act on the vessel where they hang.
StepLoads surroundings(const World& w, const Vessel& v, double h, bool contact) {
    StepLoads out = own_surroundings(w, v, h, contact);
    for_each_hanging(v, [&](const Vessel& d) {
        StepLoads child = own_surroundings(w, d, h, contact);
        RelativePlace place = relative_place(v, d);
        out.force += child.force;
        out.torque +=
            mul(place.rot, child.torque) + cross(tmul(v.state.rot, child.force), place.offset_m);
        out.contact = out.contact || child.contact;
    });
    return out;
}

// Loads over an internal step of h seconds with the step's thrust.
StepLoads loads(const World& w, const Vessel& v, const Thrust& t, double h) {
    StepLoads out = surroundings(w, v, h, true);
    add_thrust(v, t, out);
    return out;
}

VECTOR3 wind_horizon(const Body& b, double altitude_m) {
    if (b.atmosphere.density0_kg_m3 <= 0.0 || altitude_m >= kWindCeiling_m)
        return {0, 0, 0};
    return b.wind_horizon;
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

}  // namespace sim
