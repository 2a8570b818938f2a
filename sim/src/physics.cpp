#include "sim/physics.h"

#include <algorithm>
#include <cmath>

#include "sim/body.h"
#include "sim/frames.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

// Internal step lengths: fine near the ground, where the touchdown springs need it to stay
// stable, coarser in free flight.
constexpr double kContactStep_s = 0.001;
constexpr double kFreeStep_s = 0.02;
constexpr double kNearGround_m = 100.0;

// Friction turns viscous below this sliding speed, so that a resting foot does not chatter.
constexpr double kFrictionSlip_m_s = 0.05;
// Largest share of a point's sliding speed that friction may take away in one internal step.
constexpr double kFrictionStepFraction = 0.3;

// A vessel resting this still on the ground for this long is held to the surface.
constexpr double kRestSpeed_m_s = 0.02;
constexpr double kRestRate_rad_s = 0.002;
constexpr double kRestTime_s = 2.0;

// Gravity of the reference body, global orientation, m/s^2.
VECTOR3 gravity(const Vessel& v) {
    if (!v.state.ref)
        return {0, 0, 0};
    double r = length(v.state.rpos);
    if (r <= 0.0)
        return {0, 0, 0};
    return v.state.rpos * (-v.state.ref->gm_m3_s2 / (r * r * r));
}

// Velocity of the surface under a point (relative to the body's centre), global orientation.
VECTOR3 surface_velocity(const Body& b, const VECTOR3& p) {
    double w = b.angular_rate_rad_s();
    return {-p.z * w, 0.0, p.x * w};
}

// Air velocity at the vessel, global orientation: the air turns with the body, plus the wind.
VECTOR3 air_velocity(const World& w, const Vessel& v) {
    const Body& b = *v.state.ref;
    MATRIX3 hor_to_global = transpose(global_to_horizon(w, v));
    return surface_velocity(b, v.state.rpos) + mul(hor_to_global, b.wind_horizon);
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

struct StepLoads {
    VECTOR3 force{0, 0, 0};   // global orientation, N
    VECTOR3 torque{0, 0, 0};  // vessel frame, N m
    bool contact = false;
};

// Thrust and aerodynamic loads of one vessel about its own origin. Propellant is burnt when
// h > 0.
void add_thrust_and_drag(const World& w, const Vessel& v, double h, StepLoads& out) {
    const MATRIX3& R = v.state.rot;
    for (const auto& t : v.thrusters) {
        double burn = 0.0;
        double f = thrust_of(*t, h, burn);
        if (f <= 0.0)
            continue;
        if (h > 0.0)
            t->tank->mass_kg = std::max(0.0, t->tank->mass_kg - burn);
        VECTOR3 fl = t->dir * f;
        out.force += mul(R, fl);
        out.torque += cross(fl, t->pos);
    }
    if (!v.state.ref)
        return;
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
    double s4 = std::pow(c.size_m, 4);
    const VECTOR3& om = v.state.omega;
    out.torque += VECTOR3{-c.rot_drag.x * om.x, -c.rot_drag.y * om.y, -c.rot_drag.z * om.z} *
                  (rho * speed * s4);
}

// Spring-damper feet with friction against the body's surface.
void add_contact(const Vessel& v, double h, StepLoads& out) {
    if (!v.state.ref || v.config.touchdown.empty())
        return;
    const Body& b = *v.state.ref;
    const MATRIX3& R = v.state.rot;
    double ground_r = b.ground_radius_m();
    if (length(v.state.rpos) - ground_r > v.config.size_m * 4.0 + 10.0)
        return;
    for (const TOUCHDOWNVTX& td : v.config.touchdown) {
        VECTOR3 p = v.state.rpos + mul(R, td.pos);
        double r = length(p);
        double depth = ground_r - r;
        if (depth <= 0.0)
            continue;
        out.contact = true;
        VECTOR3 n = p / r;
        VECTOR3 vp = v.state.rvel + mul(R, cross(td.pos, v.state.omega)) - surface_velocity(b, p);
        double vn = dot(vp, n);
        double fn = std::max(0.0, td.stiffness * depth - td.damping * vn);
        VECTOR3 f = n * fn;
        VECTOR3 vt = vp - n * vn;
        double slide = length(vt);
        if (slide > 0.0 && fn > 0.0 && h > 0.0) {
            // Longitudinal friction acts along the vessel's z axis laid on the ground, lateral
            // friction across it.
            VECTOR3 lng = mul(R, VECTOR3{0, 0, 1});
            lng = lng - n * dot(lng, n);
            double ll = length(lng);
            double mu_l = td.mu, mu_n = td.mu;
            VECTOR3 friction{0, 0, 0};
            // Viscous below the slip speed, but never stiffer than the step can follow: the
            // mass the point feels, with the vessel's turning, sets the limit.
            double m = v.mass_kg();
            double i_min = std::min({v.config.pmi_m2.x, v.config.pmi_m2.y, v.config.pmi_m2.z}) * m;
            double inv_m_eff = 1.0 / m + (i_min > 0.0 ? dot(td.pos, td.pos) / i_min : 0.0);
            double c_max = kFrictionStepFraction / (inv_m_eff * h);
            double scale = std::min(fn / std::max(slide, kFrictionSlip_m_s),
                                    c_max / std::max(td.mu, td.mu_lng));
            if (ll > 0.1) {
                lng = lng / ll;
                double along = dot(vt, lng);
                VECTOR3 across = vt - lng * along;
                mu_n = td.mu_lng;
                friction = -(lng * (along * mu_n) + across * mu_l) * scale;
            } else {
                friction = -vt * (mu_l * scale);
            }
            f += friction;
        }
        out.force += f;
        out.torque += cross(tmul(R, f), td.pos);
    }
}

// Children hang rigidly: their thrust and drag act on the parent at their place.
void add_children(const World& w, const Vessel& v, double h, StepLoads& out) {
    for (const auto& a : v.attachments) {
        if (a->to_parent || !a->attached)
            continue;
        const Vessel& child = *a->attached;
        StepLoads cl;
        add_thrust_and_drag(w, child, h, cl);
        add_children(w, child, h, cl);
        out.force += cl.force;
        VECTOR3 r_local = tmul(v.state.rot, child.state.rpos - v.state.rpos);
        VECTOR3 torque_global_axes = mul(child.state.rot, cl.torque);
        out.torque +=
            tmul(v.state.rot, torque_global_axes) + cross(tmul(v.state.rot, cl.force), r_local);
    }
}

// Loads over an internal step of h seconds; propellant is burnt for it when burn is set.
StepLoads loads(const World& w, const Vessel& v, double h, bool burn) {
    StepLoads out;
    add_thrust_and_drag(w, v, burn ? h : 0.0, out);
    add_children(w, v, burn ? h : 0.0, out);
    add_contact(v, h, out);
    return out;
}

// Rotation of the vessel frame over h at angular velocity omega: R <- R exp(-h [omega]x).
void rotate(MATRIX3& R, const VECTOR3& omega, double h) {
    double rate = length(omega);
    double angle = rate * h;
    if (angle <= 0.0)
        return;
    VECTOR3 k = omega / rate;
    double s = std::sin(angle), c1 = 1.0 - std::cos(angle);
    // [k]x and [k]x^2 for the plain cross product.
    MATRIX3 K{0, -k.z, k.y, k.z, 0, -k.x, -k.y, k.x, 0};
    MATRIX3 K2 = mul(K, K);
    MATRIX3 M{
        1 - s * K.m11 + c1 * K2.m11, -s * K.m12 + c1 * K2.m12,    -s * K.m13 + c1 * K2.m13,
        -s * K.m21 + c1 * K2.m21,    1 - s * K.m22 + c1 * K2.m22, -s * K.m23 + c1 * K2.m23,
        -s * K.m31 + c1 * K2.m31,    -s * K.m32 + c1 * K2.m32,    1 - s * K.m33 + c1 * K2.m33};
    R = mul(R, M);
}

void orthonormalise(MATRIX3& R) {
    VECTOR3 z = unit(VECTOR3{R.m13, R.m23, R.m33});
    VECTOR3 y{R.m12, R.m22, R.m32};
    y = unit(y - z * dot(y, z));
    VECTOR3 x = cross(y, z);
    R = from_columns(x, y, z);
}

// Euler's equations in the vessel frame: I dw/dt = tau + w x (I w).
VECTOR3 angular_acceleration(const VECTOR3& pmi, double mass, const VECTOR3& omega,
                             const VECTOR3& torque) {
    VECTOR3 I{pmi.x * mass, pmi.y * mass, pmi.z * mass};
    VECTOR3 Iw{I.x * omega.x, I.y * omega.y, I.z * omega.z};
    VECTOR3 rhs = torque + cross(omega, Iw);
    return {I.x > 0 ? rhs.x / I.x : 0.0, I.y > 0 ? rhs.y / I.y : 0.0, I.z > 0 ? rhs.z / I.z : 0.0};
}

// Fixes a resting vessel to the surface; frees it once thrust and drag outweigh its weight.
void hold_landed(const World& w, Vessel& v, double elapsed_s, double h) {
    const Body& b = *v.state.ref;
    MATRIX3 body = b.rotation(w.clock.t_s + elapsed_s);
    StepLoads free_loads;
    add_thrust_and_drag(w, v, h, free_loads);
    add_children(w, v, h, free_loads);
    VECTOR3 up = unit(v.state.rpos);
    double lift = dot(free_loads.force + gravity(v) * v.mass_kg(), up);
    if (lift > 0.0) {
        v.state.landed = false;
        v.state.rvel = surface_velocity(b, v.state.rpos);
        v.state.omega = {0, 0, 0};
        return;
    }
    v.state.rpos = mul(body, v.state.landed_pos_body);
    v.state.rot = mul(body, v.state.landed_rot_body);
    v.state.rvel = surface_velocity(b, v.state.rpos);
    v.state.omega = {0, 0, 0};
    v.state.ground_contact = true;
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

// Half a step's change of velocity and rotation rate under gravity and the given loads.
void kick(Vessel& v, const StepLoads& l, double mass, double half_h) {
    v.state.rvel += gravity(v) * half_h;
    if (mass > 0.0)
        v.state.rvel += l.force * (half_h / mass);
    v.state.omega += angular_acceleration(v.config.pmi_m2, mass, v.state.omega, l.torque) * half_h;
}

// Velocity Verlet: half a kick with the loads at the start, the drift, half a kick with the
// loads at the end. Free fall and orbits keep their energy, and the touchdown springs stay
// symplectic. Propellant is burnt once, with the loads at the start.
void place_children(const World& w, Vessel& v);

void integrate_free(const World& w, Vessel& v, double elapsed_s, double h, double& rest_timer) {
    StepLoads start = loads(w, v, h, true);
    if (start.contact && !v.state.ever_touched)
        take_touchdown(w, v, elapsed_s - h);
    double m = v.mass_kg();
    kick(v, start, m, 0.5 * h);
    v.state.rpos += v.state.rvel * h;
    rotate(v.state.rot, v.state.omega, h);
    // The loads of hanging children act where the children now are.
    place_children(w, v);
    StepLoads end = loads(w, v, h, false);
    kick(v, end, m, 0.5 * h);
    v.state.ground_contact = start.contact || end.contact;
    StepLoads& l = end;

    // A vessel at rest on its feet is held to the surface from then on.
    if (l.contact && v.state.ref) {
        VECTOR3 vg = v.state.rvel - surface_velocity(*v.state.ref, v.state.rpos);
        bool still = length(vg) < kRestSpeed_m_s && length(v.state.omega) < kRestRate_rad_s;
        rest_timer = still ? rest_timer + h : 0.0;
        if (rest_timer >= kRestTime_s) {
            MATRIX3 body = v.state.ref->rotation(w.clock.t_s + elapsed_s);
            v.state.landed = true;
            v.state.landed_pos_body = tmul(body, v.state.rpos);
            v.state.landed_rot_body = mul(transpose(body), v.state.rot);
            rest_timer = 0.0;
        }
    } else {
        rest_timer = 0.0;
    }
}

void place_children(const World& w, Vessel& v) {
    for (auto& a : v.attachments) {
        if (a->to_parent || !a->attached)
            continue;
        place_attached_child(w, *a->attached);
        place_children(w, *a->attached);
    }
}

// Orthonormal frame of an attachment point: z along dir, y along rot.
MATRIX3 attachment_basis(const VECTOR3& dir, const VECTOR3& rot, bool reverse_dir) {
    VECTOR3 z = unit(dir);
    if (reverse_dir)
        z = -z;
    VECTOR3 y = rot - z * dot(rot, z);
    if (length(y) < 1e-9)
        y = std::abs(z.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 1, 0};
    y = unit(y - z * dot(y, z));
    return from_columns(cross(y, z), y, z);
}

}  // namespace

void place_attached_child(const World&, Vessel& child) {
    Attachment* up = nullptr;
    for (auto& a : child.attachments)
        if (a->to_parent && a->attached)
            up = a.get();
    if (!up || !up->peer)
        return;
    const Attachment& pp = *up->peer;
    const Vessel& parent = *up->attached;
    // The points face each other: the child's direction points against the parent's, and
    // their rotation references line up.
    MATRIX3 bp = attachment_basis(pp.dir, pp.rot, false);
    MATRIX3 bc = attachment_basis(up->dir, up->rot, true);
    MATRIX3 child_to_parent = mul(bp, transpose(bc));
    child.state.ref = parent.state.ref;
    child.state.rot = mul(parent.state.rot, child_to_parent);
    VECTOR3 origin_in_parent = pp.pos - mul(child_to_parent, up->pos);
    child.state.rpos = parent.state.rpos + mul(parent.state.rot, origin_in_parent);
    child.state.rvel =
        parent.state.rvel + mul(parent.state.rot, cross(origin_in_parent, parent.state.omega));
    child.state.omega = tmul(child_to_parent, parent.state.omega);
    child.state.landed = false;
    child.state.ground_contact = false;
}

Loads compute_loads(const World& w, const Vessel& v) {
    StepLoads l = loads(w, v, kContactStep_s, false);
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
            v.state.ref = w.dominant_body(global_pos(v));
        double t = 0.0;
        while (t < dt_s) {
            bool near = v.state.ground_contact ||
                        height_above_ground(w, v) < kNearGround_m + v.config.size_m;
            double h = std::min(near ? kContactStep_s : kFreeStep_s, dt_s - t);
            if (v.state.landed)
                hold_landed(w, v, t + h, h);
            else
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
