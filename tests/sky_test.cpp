// Day and night over a pad on Earth: the moments at which the Sun's centre sinks below and rises
// above the pad's ground plane, measured the way a pad module does (the global origin, where
// the Sun stands, turned into the pad's frame), against a standard solar-position algorithm.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "sim/scenario.h"
#include "support/angles.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

constexpr double kPadLng_deg = -80.6, kPadLat_deg = 28.6;
// The Sun's centre this far below the ground plane: the sine of its elevation is -0.005.
const double kElevation_deg = std::asin(-0.005) / kDeg;

// The Sun's declination and the equation of time, after the NOAA solar calculator (from Meeus,
// Astronomical Algorithms), at a date in Julian centuries from J2000.
struct SunOfDate {
    double declination_rad, equation_of_time_min;
};

SunOfDate noaa_sun(double jc) {
    const double mean_lng = std::fmod(280.46646 + jc * (36000.76983 + jc * 0.0003032), 360.0);
    const double mean_anomaly = 357.52911 + jc * (35999.05029 - 0.0001537 * jc);
    const double e = 0.016708634 - jc * (0.000042037 + 0.0000001267 * jc);
    const double m = mean_anomaly * kDeg;
    const double centre = std::sin(m) * (1.914602 - jc * (0.004817 + 0.000014 * jc)) +
                          std::sin(2 * m) * (0.019993 - 0.000101 * jc) + std::sin(3 * m) * 0.000289;
    const double omega = (125.04 - 1934.136 * jc) * kDeg;
    const double apparent_lng = (mean_lng + centre - 0.00569 - 0.00478 * std::sin(omega)) * kDeg;
    const double mean_obliquity =
        23.0 + (26.0 + (21.448 - jc * (46.815 + jc * (0.00059 - jc * 0.001813))) / 60.0) / 60.0;
    const double obliquity = (mean_obliquity + 0.00256 * std::cos(omega)) * kDeg;
    const double y = std::pow(std::tan(obliquity / 2), 2);
    const double l0 = mean_lng * kDeg;
    const double eot = y * std::sin(2 * l0) - 2 * e * std::sin(m) +
                       4 * e * y * std::sin(m) * std::cos(2 * l0) - 0.5 * y * y * std::sin(4 * l0) -
                       1.25 * e * e * std::sin(2 * m);
    return {std::asin(std::sin(obliquity) * std::sin(apparent_lng)), 4.0 * eot / kDeg};
}

// The moment, MJD (UTC), at which the Sun's centre passes the elevation on the day that starts
// at the midnight mjd0, rising or setting, at a longitude (east positive) and latitude.
double noaa_event_mjd(double mjd0, bool rising) {
    double minutes = rising ? 360.0 : 1080.0;
    for (int i = 0; i < 5; ++i) {
        double jc = (mjd0 + minutes / 1440.0 - 51544.5) / 36525.0;
        SunOfDate sun = noaa_sun(jc);
        double lat = kPadLat_deg * kDeg;
        double hour_angle = std::acos(
            (std::sin(kElevation_deg * kDeg) - std::sin(lat) * std::sin(sun.declination_rad)) /
            (std::cos(lat) * std::cos(sun.declination_rad)));
        double noon = 720.0 - 4.0 * kPadLng_deg - sun.equation_of_time_min;
        minutes = noon + (rising ? -4.0 : 4.0) * hour_angle / kDeg;
    }
    return mjd0 + minutes / 1440.0;
}

class Sky : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        // Standing on three feet below its origin, with +z up like a pad.
        set_next_test_vessel_setup([](test_vessel& t) {
            static const TOUCHDOWNVTX feet[] = {{{-5, 5, -1}, 1e7, 1e6, 1, 1},
                                                {{5, 5, -1}, 1e7, 1e6, 1, 1},
                                                {{0, -5, -1}, 1e7, 1e6, 1, 1}};
            t.SetEmptyMass(100000);
            t.SetTouchdownPoints(feet, 3);
        });
        std::string error;
        ASSERT_TRUE(sim::load_scenario_text(*world, kScenario, "pad.scn", error)) << error;
        pad = world->vessel("Pad");
    }

    // The sine of the Sun's elevation above the pad's ground plane at a date: the pad's global
    // position G, the point -G turned into the pad's frame.
    double sun_height(double mjd) {
        world->clock.mjd = mjd;
        world->step(0.001);  // the pad held on the turning ground moves to its place
        VECTOR3 g, s;
        pad->iface->GetGlobalPos(g);
        pad->iface->Global2Local(-g, s);
        return s.z / std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    }

    // The moment the sine of the elevation passes -0.005 between two dates, to a second.
    double crossing(double from_mjd, double to_mjd) {
        double f0 = sun_height(from_mjd) + 0.005, f1 = sun_height(to_mjd) + 0.005;
        EXPECT_LT(f0 * f1, 0.0) << "no crossing between " << from_mjd << " and " << to_mjd;
        while ((to_mjd - from_mjd) * 86400.0 > 0.5) {
            double mid = 0.5 * (from_mjd + to_mjd);
            double fm = sun_height(mid) + 0.005;
            (fm * f0 > 0.0 ? from_mjd : to_mjd) = mid;
            (fm * f0 > 0.0 ? f0 : f1) = fm;
        }
        return 0.5 * (from_mjd + to_mjd);
    }

    static constexpr const char* kScenario = R"(BEGIN_ENVIRONMENT
  System Sol
  Date MJD 61000
END_ENVIRONMENT
BEGIN_SHIPS
Pad:test_vessel
  STATUS Landed Earth
  POS -80.6 28.6
  HEADING 37
END
END_SHIPS
)";
    sim::Vessel* pad = nullptr;
};

}  // namespace

TEST_F(Sky, DuskAndDawnOverAPadMatchTheRealSky) {
    // 2026: near the equation of time's low, the June solstice, the September equinox, near its
    // high (midnights UTC).
    const struct {
        const char* name;
        double mjd0;
    } days[] = {
        {"February 11", 61082}, {"June 21", 61212}, {"September 22", 61305}, {"November 3", 61347}};
    for (const auto& d : days) {
        for (bool rising : {false, true}) {
            SCOPED_TRACE(std::string(d.name) + (rising ? ", dawn after" : ", dusk"));
            // Dusk on the day's evening (after midnight UTC), dawn the next morning.
            double reference = noaa_event_mjd(d.mjd0 + (rising ? 1 : 0), rising);
            double measured = crossing(reference - 1.0 / 24, reference + 1.0 / 24);
            EXPECT_NEAR((measured - reference) * 86400.0, 0.0, 30.0) << "seconds";
            // The night is on the right side of the crossing.
            double later = sun_height(measured + 10.0 / 1440);
            EXPECT_TRUE(rising ? later > -0.005 : later < -0.005);
        }
    }
}
