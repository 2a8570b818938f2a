#include "sim/body.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {
constexpr double kGravitationalConstant = 6.67430e-11;  // CODATA 2018, m^3 kg^-1 s^-2
}

double Body::mass_kg() const {
    return gm_m3_s2 / kGravitationalConstant;
}

double Body::angular_rate_rad_s() const {
    return rotation_period_s > 0.0 ? 2.0 * std::numbers::pi / rotation_period_s : 0.0;
}

MATRIX3 Body::rotation(double t_s) const {
    // Turning about +y so that the body's +x axis moves towards +z (east).
    double a = angular_rate_rad_s() * t_s;
    double c = std::cos(a), s = std::sin(a);
    return {c, 0, -s, 0, 1, 0, s, 0, c};
}

double Body::air_density(double height_m) const {
    if (atmosphere.density0_kg_m3 <= 0.0)
        return 0.0;
    // Below the mean radius (ground under it) the air keeps thickening.
    return atmosphere.density0_kg_m3 * std::exp(-height_m / atmosphere.scale_height_m);
}

// Constants: NASA Planetary Fact Sheets (nssdc.gsfc.nasa.gov), rounded as published.
std::unique_ptr<Body> make_sun() {
    auto b = std::make_unique<Body>("Sun");
    b->gm_m3_s2 = 1.32712440018e20;
    b->mean_radius_m = 695700e3;
    return b;
}

std::unique_ptr<Body> make_mars() {
    auto b = std::make_unique<Body>("Mars");
    b->gm_m3_s2 = 4.282837e13;
    b->mean_radius_m = 3389.5e3;
    b->rotation_period_s = 88642.66;  // 24.6229 h sidereal
    // Surface density 0.020 kg/m^3, scale height 11.1 km (Mars Fact Sheet).
    b->atmosphere = {0.020, 11.1e3, 210.0};
    b->global_pos = {2.2794e11, 0, 0};  // semi-major axis 1.52368 AU, on the global +x axis
    return b;
}

std::unique_ptr<Body> make_earth() {
    auto b = std::make_unique<Body>("Earth");
    b->gm_m3_s2 = 3.986004418e14;
    b->mean_radius_m = 6371.0e3;
    b->rotation_period_s = 86164.0905;  // sidereal day
    // Surface density 1.217 kg/m^3, scale height 8.5 km (Earth Fact Sheet).
    b->atmosphere = {1.217, 8.5e3, 288.0};
    b->global_pos = {0, 0, 1.496e11};  // 1 AU, on the global +z axis
    return b;
}

}  // namespace sim
