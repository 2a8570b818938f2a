// Contact with the ground: touchdown points as spring-dampers with friction, and a fallback
// sphere about the origin.
#include "contact.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/body.h"
#include "sim/vessel.h"

namespace sim {

namespace {

// Friction turns viscous below this sliding speed, so that a resting foot does not chatter.
constexpr double kFrictionSlip_m_s = 0.05;
// Largest share of a point's sliding speed (or of the turning rate) that friction may take
// away in one internal step.
constexpr double kFrictionStepFraction = 0.3;

// The fallback sphere: this share of the distance to the nearest face of the touchdown
// points' solid; a spring tuned to the vessel's mass (2 Hz, damping ratio 0.7), friction, and
// a rolling resistance that lets it come to rest.
constexpr double kFallbackShare = 0.8;
constexpr double kFallbackFrequency_rad_s = 2.0 * 2.0 * M_PI;
constexpr double kFallbackDampingRatio = 0.7;
constexpr double kFallbackFriction = 0.5;
constexpr double kRollingResistance = 0.1;
constexpr double kRollSlip_rad_s = 0.05;
constexpr double kReachMargin_m = 1.0;

struct Spring {
    double stiffness_n_m, damping_n_s_m, mu_lateral, mu_longitudinal;
};

double smallest_moment_kg_m2(const Vessel& v) {
    const VECTOR3& p = v.config.pmi_m2;
    return std::min({p.x, p.y, p.z}) * v.mass_kg();
}

// One contact point at pos (vessel frame); returns its normal force, N.
double add_point(const Vessel& v, const VECTOR3& spin, const VECTOR3& pos, const Spring& s,
                 double h, StepLoads& out) {
    const Body& b = *v.state.ref;
    const MATRIX3& R = v.state.rot;
    double ground_r = b.ground_radius_m();
    VECTOR3 p = v.state.rpos + mul(R, pos);
    double r = length(p);
    double depth = ground_r - r;
    if (depth <= 0.0)
        return 0.0;
    out.contact = true;
    VECTOR3 n = p / r;
    VECTOR3 vp = v.state.rvel + mul(R, cross(pos, v.state.omega)) - cross(p, spin);
    double vn = dot(vp, n);
    double fn = std::max(0.0, s.stiffness_n_m * depth - s.damping_n_s_m * vn);
    VECTOR3 f = n * fn;
    VECTOR3 vt = vp - n * vn;
    double slide = length(vt);
    if (slide > 0.0 && fn > 0.0 && h > 0.0) {
        // Longitudinal friction acts along the vessel's z axis laid on the ground, lateral
        // friction across it.
        VECTOR3 lng = mul(R, VECTOR3{0, 0, 1});
        lng = lng - n * dot(lng, n);
        double ll = length(lng);
        // Viscous below the slip speed, but never stiffer than the step can follow: the mass
        // the point feels, with the vessel's turning, sets the limit.
        double m = v.mass_kg();
        double i_min = smallest_moment_kg_m2(v);
        double inv_m_eff = 1.0 / m + (i_min > 0.0 ? dot(pos, pos) / i_min : 0.0);
        double c_max = kFrictionStepFraction / (inv_m_eff * h);
        double scale = std::min(fn / std::max(slide, kFrictionSlip_m_s),
                                c_max / std::max(s.mu_lateral, s.mu_longitudinal));
        if (ll > 0.1) {
            lng = lng / ll;
            double along = dot(vt, lng);
            VECTOR3 across = vt - lng * along;
            f -= (lng * (along * s.mu_longitudinal) + across * s.mu_lateral) * scale;
        } else {
            f -= vt * (s.mu_lateral * scale);
        }
    }
    out.force += f;
    out.torque += cross(tmul(R, f), pos);
    return fn;
}

// The sphere touches with its lowest point; rolling on the ground it meets a resisting torque,
// viscous at low rates and never stiffer than the step can follow.
void add_fallback_sphere(const Vessel& v, const VECTOR3& spin, double radius_m, double h,
                         StepLoads& out) {
    double m = v.mass_kg();
    if (m <= 0.0)
        return;
    const MATRIX3& R = v.state.rot;
    VECTOR3 lowest = tmul(R, -unit(v.state.rpos)) * radius_m;
    Spring s{m * kFallbackFrequency_rad_s * kFallbackFrequency_rad_s,
             2.0 * kFallbackDampingRatio * m * kFallbackFrequency_rad_s, kFallbackFriction,
             kFallbackFriction};
    double fn = add_point(v, spin, lowest, s, h, out);
    double i_min = smallest_moment_kg_m2(v);
    if (fn <= 0.0 || h <= 0.0 || i_min <= 0.0)
        return;
    VECTOR3 rolling = v.state.omega - tmul(R, spin);
    double rate = length(rolling);
    double scale = std::min(fn * radius_m * kRollingResistance / std::max(rate, kRollSlip_rad_s),
                            kFrictionStepFraction * i_min / h);
    out.torque -= rolling * scale;
}

}  // namespace

double fallback_radius_m(const VesselConfig& c) {
    const auto& td = c.touchdown();
    double nearest = c.size_m;
    for (std::size_t i = 0; i < td.size(); ++i)
        for (std::size_t j = i + 1; j < td.size(); ++j)
            for (std::size_t k = j + 1; k < td.size(); ++k) {
                VECTOR3 n = cross(td[j].pos - td[i].pos, td[k].pos - td[i].pos);
                double nl = length(n);
                if (nl < 1e-9)
                    continue;
                n = n / nl;
                // A face of the solid has every point on one side of its plane.
                bool above = false, below = false;
                for (const TOUCHDOWNVTX& q : td) {
                    double side = dot(q.pos - td[i].pos, n);
                    above = above || side > 1e-9;
                    below = below || side < -1e-9;
                }
                if (!(above && below))
                    nearest = std::min(nearest, std::abs(dot(td[i].pos, n)));
            }
    return kFallbackShare * nearest;
}

const VesselConfig::Derived& derived_figures(const VesselConfig& c) {
    VesselConfig::Derived& d = c.derived;
    if (d.size_m != c.size_m) {  // also when it is NaN: never worked out, or the points changed
        d.size4_m4 = std::pow(c.size_m, 4);
        d.fallback_radius_m = fallback_radius_m(c);
        d.reach_m = std::max(d.fallback_radius_m, 0.0);
        for (const TOUCHDOWNVTX& td : c.touchdown())
            d.reach_m = std::max(d.reach_m, length(td.pos));
        d.size_m = c.size_m;
    }
    return d;
}

double lowest_point_height_m(const Vessel& v) {
    if (!v.state.ref)
        return std::numeric_limits<double>::infinity();
    const double ground_r = v.state.ref->ground_radius_m();
    double lowest = length(v.state.rpos) - ground_r - derived_figures(v.config).fallback_radius_m;
    for (const TOUCHDOWNVTX& td : v.config.touchdown())
        lowest = std::min(lowest, length(v.state.rpos + mul(v.state.rot, td.pos)) - ground_r);
    return lowest;
}

void add_contact(const Vessel& v, double mjd, double h, StepLoads& out) {
    if (!v.state.ref)
        return;
    double height_m = length(v.state.rpos) - v.state.ref->ground_radius_m();
    if (height_m > v.config.size_m * 4.0 + 10.0)
        return;
    // Nothing reaches the ground from higher than the farthest point reaches, with a margin far
    // above rounding: no point would have touched.
    const VesselConfig::Derived& d = derived_figures(v.config);
    if (height_m > d.reach_m + kReachMargin_m)
        return;
    VECTOR3 spin = v.state.ref->angular_velocity(mjd);
    for (const TOUCHDOWNVTX& td : v.config.touchdown())
        add_point(v, spin, td.pos, {td.stiffness, td.damping, td.mu, td.mu_lng}, h, out);
    double radius = d.fallback_radius_m;
    if (radius > 0.0)
        add_fallback_sphere(v, spin, radius, h, out);
}

}  // namespace sim
