// Celestial bodies and their motion. The global frame is centred on the Sun and takes the
// ecliptic and equinox of J2000, left-handed like every frame: x towards the vernal equinox,
// y towards the ecliptic's north pole, z towards ecliptic longitude 90 degrees. A body's own
// frame turns with it: x towards its prime meridian on the equator, y towards its north pole,
// z towards longitude 90 degrees east. Dates are modified Julian days of UTC, the clock's date;
// each body turns them into the time scale its elements run on (sim/time_scales.h).
#pragma once

#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "sim/export.h"
#include "sim/object.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

constexpr double kMjdJ2000 = 51544.5;  // 2000 January 1, 12 h
constexpr double kDaysPerCentury = 36525.0;
constexpr double kSecondsPerDay = 86400.0;

struct Atmosphere {
    double density0_kg_m3 = 0.0;  // density at the mean radius
    double scale_height_m = 1.0;  // e-folding height of the exponential model
    double temperature_k = 0.0;   // representative temperature, for reports
};

// Mean Keplerian elements about the Sun at J2000, with their rates per Julian century of TDB,
// referred to the ecliptic and equinox of J2000.
struct OrbitalElements {
    double semi_major_axis_au, semi_major_axis_au_cy;
    double eccentricity, eccentricity_cy;
    double inclination_deg, inclination_deg_cy;
    double mean_longitude_deg, mean_longitude_deg_cy;
    double perihelion_longitude_deg, perihelion_longitude_deg_cy;
    double node_longitude_deg, node_longitude_deg_cy;
};

// Direction of the north pole (right ascension and declination in the J2000 equatorial frame,
// with rates per Julian century of TDB) and the angle of the prime meridian (at J2000 and per
// day of TDB), counted along the equator from its ascending node on the J2000 equator.
struct RotationalElements {
    double pole_ra_deg, pole_ra_deg_cy;
    double pole_dec_deg, pole_dec_deg_cy;
    double meridian_deg, meridian_deg_day;
    // Earth: the meridian angle is Earth's rotation angle of UT1 (sim/time_scales.h) less 90
    // degrees, counted from the equator's non-rotating origin, so that it does not follow the
    // node as the pole's right ascension drifts. meridian_deg and meridian_deg_day then repeat
    // that angle's value at J2000 and its rate, and only the rate is read, for the angular
    // velocity.
    bool earth_rotation_angle = false;
};

struct BodyDefinition {
    const char* name;
    double gm_m3_s2;
    double mean_radius_m;
    Atmosphere atmosphere;
    std::optional<OrbitalElements> orbit;  // none: resting at the origin of the global frame
    RotationalElements spin;
};

class Body : public Object {
  public:
    explicit Body(const BodyDefinition& d);

    double gm_m3_s2 = 0.0;  // gravitational parameter
    double mean_radius_m = 0.0;
    double ground_elevation_m = 0.0;  // constant height of the ground above the mean radius
    Atmosphere atmosphere;
    VECTOR3 wind_horizon{0, 0, 0};  // constant wind: x east, y up, z north, m/s

    const std::optional<OrbitalElements>& orbit() const { return orbit_; }
    const RotationalElements& spin() const { return spin_; }
    // New rotational elements; the turns remembered for past dates are forgotten.
    void set_spin(const RotationalElements& s);

    double mass_kg() const;
    double ground_radius_m() const { return mean_radius_m + ground_elevation_m; }

    // Position and velocity of the centre in the global frame at a date, m and m/s; the
    // velocity is the rate of the position, the elements' own rates included.
    VECTOR3 position(double mjd) const { return orbit_at(mjd).pos_m; }
    VECTOR3 velocity(double mjd) const { return orbit_at(mjd).vel_m_s; }
    // Unit vector towards the north pole, global frame.
    VECTOR3 spin_axis(double mjd) const;
    double angular_rate_rad_s() const;
    // Angular velocity at a date, global orientation, rad/s: a point p fixed on the body moves
    // at p x angular_velocity.
    VECTOR3 angular_velocity(double mjd) const;
    // Rotation of the body's own frame into the global frame at a date.
    MATRIX3 rotation(double mjd) const { return turn_at(mjd).rot; }
    // Velocity of the turning surface at p (relative to the centre, global orientation), m/s.
    VECTOR3 surface_velocity(const VECTOR3& p, double mjd) const;
    // Air density at a height above the mean radius, kg/m^3.
    double air_density(double height_m) const;

  private:
    static constexpr double kNoDate = std::numeric_limits<double>::quiet_NaN();

    std::optional<OrbitalElements> orbit_;
    RotationalElements spin_;

    // The place and the turn depend on the date alone, and a frame asks for the same date many
    // times: the last dates asked are remembered. Two turns, since a body holding a landed
    // vessel is asked at the frame's start and at its end in turn.
    struct OrbitAt {
        double mjd = kNoDate;
        VECTOR3 pos_m{0, 0, 0}, vel_m_s{0, 0, 0};
    };
    // The turn, and the angular velocity that every internal step asks for with it.
    struct TurnAt {
        double mjd = kNoDate;
        MATRIX3 rot{};
        VECTOR3 omega_rad_s{0, 0, 0};
    };
    // NaN never equals, so that the first date and a NaN date are worked out.
    const OrbitAt& orbit_at(double mjd) const {
        return orbit_at_.mjd == mjd ? orbit_at_ : work_out_orbit(mjd);
    }
    const TurnAt& turn_at(double mjd) const {
        for (const TurnAt& t : turn_at_)
            if (t.mjd == mjd)
                return t;
        return work_out_turn(mjd);
    }
    const OrbitAt& work_out_orbit(double mjd) const;
    const TurnAt& work_out_turn(double mjd) const;
    mutable OrbitAt orbit_at_;
    mutable std::array<TurnAt, 2> turn_at_;
    mutable std::size_t next_turn_slot_ = 0;
};

SIM_API_END
}  // namespace sim
