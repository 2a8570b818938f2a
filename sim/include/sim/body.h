// Celestial bodies: the Sun at the origin of the global frame, and the planets, each fixed in
// place and turning about the global +y axis (north), so that a point on the equator at
// longitude 0 lies on the body's +x axis at time 0 and moves towards +z (east).
#pragma once

#include <memory>

#include "sim/object.h"
#include "sim/vec.h"

namespace sim {

struct Atmosphere {
    double density0_kg_m3 = 0.0;  // density at the mean radius
    double scale_height_m = 1.0;  // e-folding height of the exponential model
    double temperature_k = 0.0;   // representative temperature, for reports
};

class Body : public Object {
  public:
    explicit Body(std::string name) : Object(Kind::Body, std::move(name)) {}

    double gm_m3_s2 = 0.0;  // gravitational parameter
    double mean_radius_m = 0.0;
    double rotation_period_s = 0.0;   // sidereal; 0 for no rotation
    double ground_elevation_m = 0.0;  // constant height of the ground above the mean radius
    Atmosphere atmosphere;
    VECTOR3 wind_horizon{0, 0, 0};  // constant wind: x east, y up, z north, m/s
    VECTOR3 global_pos{0, 0, 0};    // position in the global frame, m

    double mass_kg() const;
    double ground_radius_m() const { return mean_radius_m + ground_elevation_m; }
    double angular_rate_rad_s() const;
    // Rotation of the body-fixed frame into the global frame at time t.
    MATRIX3 rotation(double t_s) const;
    // Air density at a height above the mean radius, kg/m^3.
    double air_density(double height_m) const;
};

// The three bodies of the stand-in's solar system, with published constants.
std::unique_ptr<Body> make_sun();
std::unique_ptr<Body> make_mars();
std::unique_ptr<Body> make_earth();

}  // namespace sim
