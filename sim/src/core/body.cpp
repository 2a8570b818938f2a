// A body's motion as functions of the date: its orbit from mean Keplerian elements, and its
// turning from its rotational elements. The formulas are worked in right-handed ecliptic and
// equatorial coordinates and handed over to the left-handed frames by swapping y and z.
#include "sim/body.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/time_scales.h"
#include "sim/units.h"

namespace sim {

namespace {

constexpr double kGravitationalConstant = 6.67430e-11;  // CODATA 2018, m^3 kg^-1 s^-2
constexpr double kAu_m = 1.495978707e11;                // IAU 2012 Resolution B2
// Obliquity of the ecliptic at J2000 that turns the J2000 equatorial frame into the ecliptic
// one: 84381.448 arcseconds (IAU 1976).
constexpr double kObliquityJ2000_deg = 84381.448 / 3600.0;

// Right-handed rotations by an angle about x and z.
MATRIX3 turn_x(double a) {
    double c = std::cos(a), s = std::sin(a);
    return {1, 0, 0, 0, c, -s, 0, s, c};
}
MATRIX3 turn_z(double a) {
    double c = std::cos(a), s = std::sin(a);
    return {c, -s, 0, s, c, 0, 0, 0, 1};
}

// Right-handed coordinates <-> the left-handed frames: y and z change places.
VECTOR3 swap_yz(const VECTOR3& v) {
    return {v.x, v.z, v.y};
}
MATRIX3 swap_yz(const MATRIX3& m) {
    return {m.m11, m.m13, m.m12, m.m31, m.m33, m.m32, m.m21, m.m23, m.m22};
}

// Eccentric anomaly E from the mean anomaly M: E - e sin E = M (Newton's method).
double eccentric_anomaly(double mean_anomaly, double e) {
    double E = mean_anomaly + e * std::sin(mean_anomaly);
    for (int i = 0; i < 30; ++i) {
        double dE = (E - e * std::sin(E) - mean_anomaly) / (1.0 - e * std::cos(E));
        E -= dE;
        if (std::abs(dE) < 1e-14)
            break;
    }
    return E;
}

// The right-handed cross product, for the turning of the orbit's plane.
VECTOR3 cross_rh(const VECTOR3& a, const VECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The orbit at a date, days of TDB since J2000, in right-handed ecliptic coordinates. The
// velocity is the derivative of the position with every element moving at its rate: along the
// ellipse, as the ellipse grows and stretches, and as its plane and perihelion turn.
struct OrbitState {
    VECTOR3 pos_m, vel_m_s;
};

OrbitState orbit_state(const OrbitalElements& o, double days) {
    const double T = days / kDaysPerCentury;
    const double per_s = 1.0 / (kDaysPerCentury * kSecondsPerDay);  // a rate per century, per s
    const double a = (o.semi_major_axis_au + o.semi_major_axis_au_cy * T) * kAu_m;
    const double e = o.eccentricity + o.eccentricity_cy * T;
    const double incl = (o.inclination_deg + o.inclination_deg_cy * T) * kRadPerDeg;
    const double mean_lng = o.mean_longitude_deg + o.mean_longitude_deg_cy * T;
    const double peri = o.perihelion_longitude_deg + o.perihelion_longitude_deg_cy * T;
    const double node = o.node_longitude_deg + o.node_longitude_deg_cy * T;
    const double mean_anomaly =
        std::remainder((mean_lng - peri) * kRadPerDeg, 2.0 * std::numbers::pi);
    const double E = eccentric_anomaly(mean_anomaly, e);
    const double a_rate = o.semi_major_axis_au_cy * kAu_m * per_s;
    const double e_rate = o.eccentricity_cy * per_s;
    const double incl_rate = o.inclination_deg_cy * kRadPerDeg * per_s;
    const double node_rate = o.node_longitude_deg_cy * kRadPerDeg * per_s;
    const double peri_rate = o.perihelion_longitude_deg_cy * kRadPerDeg * per_s;
    // Kepler's equation E - e sin E = M, differentiated with e moving too.
    const double n = (o.mean_longitude_deg_cy - o.perihelion_longitude_deg_cy) * kRadPerDeg * per_s;
    const double sin_E = std::sin(E), cos_E = std::cos(E);
    const double E_rate = (n + e_rate * sin_E) / (1.0 - e * cos_E);
    const double root = std::sqrt(1.0 - e * e);
    const double b = a * root;
    const double b_rate = a_rate * root - a * e * e_rate / root;
    // In the orbit's plane, x towards perihelion.
    const VECTOR3 in_plane{a * (cos_E - e), b * sin_E, 0.0};
    const VECTOR3 in_plane_rate{a_rate * (cos_E - e) - a * (sin_E * E_rate + e_rate),
                                b_rate * sin_E + b * cos_E * E_rate, 0.0};
    // The plane turned into the ecliptic, Rz(node) Rx(i) Rz(perihelion - node), and the angular
    // velocity of that turn: each rate about its own axis as the turns before it carry it.
    const MATRIX3 plane_to_ecliptic =
        mul(turn_z(node * kRadPerDeg), mul(turn_x(incl), turn_z((peri - node) * kRadPerDeg)));
    const double sin_node = std::sin(node * kRadPerDeg), cos_node = std::cos(node * kRadPerDeg);
    const double sin_incl = std::sin(incl), cos_incl = std::cos(incl);
    const VECTOR3 plane_turning =
        VECTOR3{0.0, 0.0, node_rate} + VECTOR3{cos_node, sin_node, 0.0} * incl_rate +
        VECTOR3{sin_incl * sin_node, -sin_incl * cos_node, cos_incl} * (peri_rate - node_rate);
    OrbitState s;
    s.pos_m = mul(plane_to_ecliptic, in_plane);
    s.vel_m_s = mul(plane_to_ecliptic, in_plane_rate) + cross_rh(plane_turning, s.pos_m);
    return s;
}

}  // namespace

Body::Body(const BodyDefinition& d)
    : Object(Kind::Body, d.name),
      gm_m3_s2(d.gm_m3_s2),
      mean_radius_m(d.mean_radius_m),
      atmosphere(d.atmosphere),
      orbit_(d.orbit),
      spin_(d.spin) {}

double Body::mass_kg() const {
    return gm_m3_s2 / kGravitationalConstant;
}

void Body::set_spin(const RotationalElements& s) {
    spin_ = s;
    turn_at_ = {};
}

const Body::OrbitAt& Body::work_out_orbit(double mjd) const {
    orbit_at_.mjd = mjd;
    if (!orbit_) {
        orbit_at_.pos_m = orbit_at_.vel_m_s = {0, 0, 0};
        return orbit_at_;
    }
    OrbitState s = orbit_state(*orbit_, tdb_days_since_j2000(mjd));
    orbit_at_.pos_m = swap_yz(s.pos_m);
    orbit_at_.vel_m_s = swap_yz(s.vel_m_s);
    return orbit_at_;
}

double Body::angular_rate_rad_s() const {
    return spin_.meridian_deg_day * kRadPerDeg / kSecondsPerDay;
}

const Body::TurnAt& Body::work_out_turn(double mjd) const {
    TurnAt& t = turn_at_[next_turn_slot_];
    next_turn_slot_ = (next_turn_slot_ + 1) % turn_at_.size();
    const double days = tdb_days_since_j2000(mjd);
    const double T = days / kDaysPerCentury;
    const double ra = spin_.pole_ra_deg + spin_.pole_ra_deg_cy * T;
    const double dec = spin_.pole_dec_deg + spin_.pole_dec_deg_cy * T;
    double meridian = spin_.meridian_deg + spin_.meridian_deg_day * days;
    if (spin_.earth_rotation_angle)
        meridian = earth_rotation_angle_rad(mjd) / kRadPerDeg - 90.0 - (ra - spin_.pole_ra_deg);
    meridian = std::fmod(meridian, 360.0);
    // Body frame -> J2000 equatorial: the prime meridian turned from the node, the equator
    // tilted to the pole's declination, the node set at the pole's right ascension plus 90
    // degrees; then equatorial -> ecliptic.
    MATRIX3 body_to_equatorial =
        mul(turn_z((ra + 90.0) * kRadPerDeg),
            mul(turn_x((90.0 - dec) * kRadPerDeg), turn_z(meridian * kRadPerDeg)));
    t.rot = swap_yz(mul(turn_x(-kObliquityJ2000_deg * kRadPerDeg), body_to_equatorial));
    t.omega_rad_s = VECTOR3{t.rot.m12, t.rot.m22, t.rot.m32} * angular_rate_rad_s();
    t.mjd = mjd;
    return t;
}

VECTOR3 Body::spin_axis(double mjd) const {
    const MATRIX3& r = turn_at(mjd).rot;
    return {r.m12, r.m22, r.m32};
}

VECTOR3 Body::angular_velocity(double mjd) const {
    return turn_at(mjd).omega_rad_s;
}

VECTOR3 Body::surface_velocity(const VECTOR3& p, double mjd) const {
    // A vector fixed in a body turning at omega moves at p x omega (plain cross product, as in
    // every left-handed frame here).
    return cross(p, angular_velocity(mjd));
}

double Body::air_density(double height_m) const {
    if (atmosphere.density0_kg_m3 <= 0.0)
        return 0.0;
    // Below the mean radius (ground under it) the air keeps thickening.
    return atmosphere.density0_kg_m3 * std::exp(-height_m / atmosphere.scale_height_m);
}

}  // namespace sim
