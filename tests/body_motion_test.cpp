// The bodies' motion against published figures: orbits (distances, periods, planes), spin axes
// (tilt, the seasons of the real sky), turning (rate, proper rotation) and the velocity of the
// turning surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "sim/body.h"
#include "sim/frames.h"
#include "sim/solar_system.h"
#include "sim/world.h"
#include "support/angles.h"

namespace {

constexpr double kAu_m = 1.495978707e11;
constexpr double kMjd2026 = 61041.0;  // 2026 January 1, 0 h

double angle_between(const VECTOR3& a, const VECTOR3& b) {
    return std::acos(std::clamp(sim::dot(sim::unit(a), sim::unit(b)), -1.0, 1.0));
}

double ecliptic_longitude(const VECTOR3& p) {
    return std::atan2(p.z, p.x);
}

// Published figures (NASA Planetary Fact Sheets): perihelion and aphelion distances, sidereal
// orbit period, inclination of the orbit to the ecliptic, tilt of the axis to the orbit,
// sidereal rotation period (Earth's against the stars).
struct BodyFigures {
    const char* name;
    double perihelion_au, aphelion_au, period_days, inclination_deg, tilt_deg, rotation_h;
};
constexpr BodyFigures kFigures[] = {
    {"Earth", 0.98329, 1.01671, 365.256, 0.0, 23.44, 23.9345},
    {"Mars", 1.38133, 1.66621, 686.980, 1.85, 25.19, 24.6229},
};

class BodyMotion : public ::testing::Test {
  protected:
    sim::World world;
};

}  // namespace

TEST_F(BodyMotion, OrbitsKeepTheirPublishedDistancesPeriodsAndPlanes) {
    for (const BodyFigures& f : kFigures) {
        SCOPED_TRACE(f.name);
        const sim::Body& b = *world.body(f.name);
        double nearest = 1e30, farthest = 0.0, highest = 0.0;
        for (double d = 0.0; d < f.period_days; d += 0.25) {
            VECTOR3 p = b.position(kMjd2026 + d);
            nearest = std::min(nearest, sim::length(p));
            farthest = std::max(farthest, sim::length(p));
            highest = std::max(highest, std::abs(p.y) / sim::length(p));
        }
        EXPECT_NEAR(nearest / kAu_m, f.perihelion_au, 0.0003);
        EXPECT_NEAR(farthest / kAu_m, f.aphelion_au, 0.0003);
        // The ecliptic is the global x-z plane.
        EXPECT_NEAR(std::asin(highest) / kDeg, f.inclination_deg, 0.01);

        // One sidereal period brings the body back to its longitude; a day less does not.
        double start = ecliptic_longitude(b.position(kMjd2026));
        auto turned = [&](double days) {
            return std::remainder(ecliptic_longitude(b.position(kMjd2026 + days)) - start,
                                  2.0 * std::numbers::pi);
        };
        EXPECT_NEAR(turned(f.period_days) / kDeg, 0.0, 0.02);
        EXPECT_LT(turned(f.period_days - 1.0) / kDeg, -0.4);

        // The velocity is the rate of the position, and it runs prograde (ecliptic north up).
        const double t = kMjd2026 + 100.0, h_days = 0.01;
        VECTOR3 rate = (b.position(t + h_days) - b.position(t - h_days)) / (2.0 * h_days * 86400);
        EXPECT_LT(sim::length(b.velocity(t) - rate), 1e-4 * sim::length(rate));
        EXPECT_LT(sim::cross(b.position(t), b.velocity(t)).y, 0.0);
    }
}

// The elements move: the perihelion and the node turn, the ellipse stretches. The velocity
// follows them all (without, it was 0.28 m/s off for Earth and 0.60 m/s for Mars).
TEST_F(BodyMotion, VelocityIsTheRateOfThePositionAsEveryElementMoves) {
    for (const BodyFigures& f : kFigures) {
        const sim::Body& b = *world.body(f.name);
        // Not on a day that ends in a leap second, which ERFA counts 86401 s long.
        for (double mjd : {kMjd2026 + 0.3, kMjd2026 + 173.9, kMjd2026 + 411.2, 47900.3, 69000.0}) {
            SCOPED_TRACE(std::string(f.name) + " " + std::to_string(mjd));
            // A central difference over 10 minutes: its own error is below 1e-4 m/s.
            const double h_days = 300.0 / 86400;
            VECTOR3 rate = (b.position(mjd + h_days) - b.position(mjd - h_days)) / 600.0;
            EXPECT_LT(sim::length(b.velocity(mjd) - rate), 1e-3);
        }
    }
}

TEST_F(BodyMotion, SpinAxesAreTiltedToTheirOrbitsAndEarthsGivesTheSeasons) {
    for (const BodyFigures& f : kFigures) {
        SCOPED_TRACE(f.name);
        const sim::Body& b = *world.body(f.name);
        const double t = kMjd2026 + 40.0;
        // The orbit's north is the side from which it runs anticlockwise: -(r x v) here.
        VECTOR3 orbit_north = -sim::cross(b.position(t), b.velocity(t));
        EXPECT_NEAR(angle_between(b.spin_axis(t), orbit_north) / kDeg, f.tilt_deg, 0.02);
    }
    // The Sun's declination seen from Earth at the equinoxes and solstices of 2026 (UTC).
    const sim::Body& earth = *world.body("Earth");
    struct Season {
        const char* name;
        double mjd, declination_deg;
    };
    const Season seasons[] = {
        {"March equinox, 20th 14:46", 61119.6153, 0.0},
        {"June solstice, 21st 08:24", 61212.35, 23.436},
        {"September equinox, 23rd 00:05", 61306.0035, 0.0},
        {"December solstice, 21st 20:50", 61395.868, -23.436},
    };
    for (const Season& s : seasons) {
        SCOPED_TRACE(s.name);
        VECTOR3 to_sun = -earth.position(s.mjd);
        double declination = std::asin(sim::dot(sim::unit(to_sun), earth.spin_axis(s.mjd)));
        EXPECT_NEAR(declination / kDeg, s.declination_deg, 0.02);
    }
}

TEST_F(BodyMotion, BodiesTurnAtTheirSiderealRateAsProperRotations) {
    for (const BodyFigures& f : kFigures) {
        SCOPED_TRACE(f.name);
        const sim::Body& b = *world.body(f.name);
        const double t = kMjd2026 + 77.3, period_days = f.rotation_h / 24.0;
        MATRIX3 r = b.rotation(t);
        // Orthonormal and right-side-in: a proper rotation, as between two left-handed frames.
        MATRIX3 rrt = sim::mul(r, sim::transpose(r));
        const double* m = &rrt.m11;
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(m[i], i % 4 == 0 ? 1.0 : 0.0, 1e-12);
        EXPECT_NEAR(sim::dot(sim::cross(VECTOR3{r.m11, r.m21, r.m31}, VECTOR3{r.m12, r.m22, r.m32}),
                             VECTOR3{r.m13, r.m23, r.m33}),
                    1.0, 1e-12);
        // The prime meridian comes round in one sidereal period, a quarter turn east in a quarter.
        VECTOR3 meridian{r.m11, r.m21, r.m31}, east{r.m13, r.m23, r.m33};
        EXPECT_LT(angle_between(sim::mul(b.rotation(t + period_days), VECTOR3{1, 0, 0}), meridian),
                  2e-5);
        EXPECT_LT(angle_between(sim::mul(b.rotation(t + period_days / 4), VECTOR3{1, 0, 0}), east),
                  2e-5);
        EXPECT_NEAR(2.0 * std::numbers::pi / b.angular_rate_rad_s() / 3600.0, f.rotation_h, 0.0001);
        // The axis is the body's y axis, which the turning leaves in place (but for the slow
        // drift of the pole, under a microradian in a few hours).
        EXPECT_LT(angle_between(b.spin_axis(t), sim::mul(b.rotation(t + 0.3), VECTOR3{0, 1, 0})),
                  1e-6);
    }
}

TEST_F(BodyMotion, TheSurfaceMovesEastAtTheRateOfTheTurningGround) {
    struct Place {
        const char* body;
        double lng_deg, lat_deg;
    };
    const Place places[] = {
        {"Earth", -80.6, 28.6}, {"Earth", 141.0, -37.5}, {"Mars", 133.0, -21.0}};
    for (const Place& p : places) {
        SCOPED_TRACE(std::string(p.body) + " " + std::to_string(p.lng_deg));
        const sim::Body& b = *world.body(p.body);
        const double t = kMjd2026 + 201.7, radius = b.mean_radius_m;
        VECTOR3 fixed = sim::body_fixed_from_equ({p.lng_deg * kDeg, p.lat_deg * kDeg, radius});
        VECTOR3 at = sim::mul(b.rotation(t), fixed);
        VECTOR3 v = b.surface_velocity(at, t);
        // The rate of the ground point, from its place a second before and after.
        const double second = 1.0 / 86400.0;
        VECTOR3 rate =
            (sim::mul(b.rotation(t + second), fixed) - sim::mul(b.rotation(t - second), fixed)) /
            2.0;
        EXPECT_LT(sim::length(v - rate), 1e-5 * sim::length(v));
        // In the local horizon frame: all of it east, at omega r cos(latitude).
        MATRIX3 to_horizon = sim::transpose(
            sim::mul(b.rotation(t), sim::horizon_basis(p.lng_deg * kDeg, p.lat_deg * kDeg)));
        VECTOR3 h = sim::mul(to_horizon, v);
        EXPECT_NEAR(h.x, b.angular_rate_rad_s() * radius * std::cos(p.lat_deg * kDeg), 1e-6);
        EXPECT_NEAR(h.y, 0.0, 1e-9);
        EXPECT_NEAR(h.z, 0.0, 1e-9);
    }
}

TEST(Clock, ManyShortFramesReachTheSameDateAsOneLongOne) {
    sim::Clock many, one;
    many.mjd = one.mjd = kMjd2026 + 0.123;
    for (int i = 0; i < 4'320'000; ++i) many.advance(0.02);  // a day of 20 ms frames
    one.advance(86400.0);
    EXPECT_NEAR((many.mjd_after(0.0) - one.mjd) * 86400.0, 0.0, 1e-5);
    EXPECT_NEAR(many.t_s, 86400.0, 1e-6);
}

// Frames ask a body for the same dates many times, and it remembers the last ones asked: its
// answers stay those of a body asked once, whatever the order of the dates, and follow new
// rotational elements at once.
TEST_F(BodyMotion, RememberedPlacesAndTurnsAreThoseOfTheDateAskedAndOfTheCurrentElements) {
    sim::Body& mars = *world.body("Mars");
    const double dates[] = {kMjd2026,        kMjd2026 + 0.5, kMjd2026, kMjd2026 + 1e-9,
                            kMjd2026 + 0.5,  kMjd2026 + 2.0, kMjd2026, kMjd2026 + 2.0,
                            kMjd2026 + 1e-9, kMjd2026};
    auto asked_once = [](double mjd, const sim::RotationalElements* spin) {
        auto bodies = sim::make_solar_system();
        sim::Body& fresh = *bodies[1];
        if (spin)
            fresh.set_spin(*spin);
        return std::make_pair(fresh.position(mjd), fresh.rotation(mjd));
    };
    auto expect_same = [](const VECTOR3& a, const VECTOR3& b) {
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.z, b.z);
    };
    auto expect_same_turn = [&](const MATRIX3& a, const MATRIX3& b) {
        expect_same({a.m11, a.m12, a.m13}, {b.m11, b.m12, b.m13});
        expect_same({a.m21, a.m22, a.m23}, {b.m21, b.m22, b.m23});
        expect_same({a.m31, a.m32, a.m33}, {b.m31, b.m32, b.m33});
    };
    ASSERT_EQ(sim::make_solar_system()[1]->name(), "Mars");
    for (double d : dates) {
        SCOPED_TRACE(d);
        const auto [pos, rot] = asked_once(d, nullptr);
        expect_same(mars.position(d), pos);
        expect_same_turn(mars.rotation(d), rot);
        expect_same(mars.spin_axis(d), {rot.m12, rot.m22, rot.m32});
    }

    // A body that stops turning, asked again at a date it remembers.
    sim::RotationalElements still = mars.spin();
    still.meridian_deg_day = 0.0;
    mars.set_spin(still);
    for (double d : {kMjd2026, kMjd2026 + 2.0}) {
        SCOPED_TRACE(d);
        expect_same_turn(mars.rotation(d), asked_once(d, &still).second);
    }
}
