// The time scales under the dates: Mars turns on TDB, so that the Sun stands over the longitude
// the Mars24 algorithm gives in TT; TT runs ahead of UTC by the leap seconds of the date; TDB
// swings about TT as the published series has it.
#include "sim/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sim/body.h"
#include "sim/world.h"
#include "support/angles.h"

namespace {

// The longitude (west, degrees) over which the Sun stands at noon on Mars, after the Mars24
// algorithm: M. Allison and M. McEwen, "A post-Pathfinder evaluation of areocentric solar
// coordinates with improved timing recipes for Mars seasonal/diurnal climate studies", Planet.
// Space Sci. 48 (2000), with the NASA GISS Mars24 update (steps B-1 to C-2). Its argument is
// the Julian date of TT.
double mars24_subsolar_west_longitude_deg(double jd_tt) {
    const double dt = jd_tt - 2451545.0;
    const double M = (19.3871 + 0.52402073 * dt) * kDeg;
    const double alpha_fms = 270.3871 + 0.524038496 * dt;
    struct Perturber {
        double amplitude, period, phase;
    };
    constexpr Perturber perturbers[] = {{0.0071, 2.2353, 49.409},  {0.0057, 2.7543, 168.173},
                                        {0.0039, 1.1177, 191.837}, {0.0037, 15.7866, 21.736},
                                        {0.0021, 2.1354, 15.704},  {0.0020, 2.4694, 95.528},
                                        {0.0018, 32.8493, 49.095}};
    double pbs = 0.0;
    for (const Perturber& p : perturbers)
        pbs += p.amplitude * std::cos((0.985626 * dt / p.period + p.phase) * kDeg);
    const double centre = (10.691 + 3.0e-7 * dt) * std::sin(M) + 0.623 * std::sin(2 * M) +
                          0.050 * std::sin(3 * M) + 0.005 * std::sin(4 * M) +
                          0.0005 * std::sin(5 * M) + pbs;
    const double ls = (alpha_fms + centre) * kDeg;
    const double eot =
        2.861 * std::sin(2 * ls) - 0.071 * std::sin(4 * ls) + 0.002 * std::sin(6 * ls) - centre;
    const double mst_h =
        std::fmod(24.0 * ((jd_tt - 2451549.5) / 1.0274912517 + 44796.0 - 0.0009626), 24.0);
    return std::fmod(mst_h * 15.0 + eot + 180.0, 360.0);
}

}  // namespace

TEST(TimeScales, TheSunStandsOverTheMarsLongitudeOfTheMars24Algorithm) {
    sim::World world;
    const sim::Body& mars = *world.body("Mars");
    // Dates (UTC) under four counts of leap seconds, with TT - UTC as the IERS published it.
    const struct {
        const char* name;
        double mjd_utc, tt_minus_utc_s;
    } dates[] = {{"1990 January 1, 0 h", 47892.0, 57.184},
                 {"2000 January 6, 0 h", 51549.0, 64.184},
                 {"2012 August 6, 5:17:57", 56145.2207986, 67.184},
                 {"2026 March 1, 12 h", 61100.5, 69.184}};
    for (const auto& d : dates) {
        SCOPED_TRACE(d.name);
        // The Sun at the global origin, seen in Mars's own frame (x towards the prime meridian,
        // z towards 90 degrees east).
        const VECTOR3 sun = sim::tmul(mars.rotation(d.mjd_utc), -mars.position(d.mjd_utc));
        const double west = -std::atan2(sun.z, sun.x) / kDeg;
        const double jd_tt = 2400000.5 + d.mjd_utc + d.tt_minus_utc_s / 86400.0;
        // Mars turns 0.28 degrees in the 69 s between UTC and TT.
        EXPECT_NEAR(std::remainder(west - mars24_subsolar_west_longitude_deg(jd_tt), 360.0), 0.0,
                    0.03);
    }
}

TEST(TimeScales, TerrestrialTimeIsAheadOfUtcByTheLeapSecondsOfTheDate) {
    // TAI - UTC from the IERS table (USNO tai-utc.dat), plus TT - TAI = 32.184 s. Not on a day
    // before a step of TAI - UTC: ERFA spreads the step over that day.
    const struct {
        const char* name;
        double mjd_utc, tt_minus_utc_s;
    } dates[] = {
        {"1958, before UTC: none", 36204.0, 32.184},
        // 1968 February 1 on: 4.2131700 s + (MJD - 39126) x 0.002592 s.
        {"1968 February 1", 39887.0, 32.184 + 4.21317 + (39887.0 - 39126.0) * 0.002592},
        {"1971 December 30, noon", 41315.5, 32.184 + 4.21317 + (41315.5 - 39126.0) * 0.002592},
        {"1972 January 1, noon", 41317.5, 42.184},
        {"1972 July 1, noon", 41499.5, 43.184},
        {"2016 December 30, noon", 57752.5, 68.184},
        {"2017 January 1, noon", 57754.5, 69.184},
        {"2026", 61100.5, 69.184},
        {"4596, long after the table's end: its last", 1e6, 69.184},
    };
    // Within the rounding of the date (1e-5 s at MJD 1e6).
    for (const auto& d : dates)
        EXPECT_NEAR(sim::tt_minus_utc_s(d.mjd_utc), d.tt_minus_utc_s, 1e-5) << d.name;
    EXPECT_TRUE(std::isnan(sim::tt_minus_utc_s(std::nan(""))));
}

TEST(TimeScales, BarycentricTimeSwingsAboutTerrestrialTimeAsThePublishedSeries) {
    // TDB - TT after G. H. Kaplan, USNO Circular 179 (2005), eq. 2.6: within 10 microseconds
    // from 1600 to 2200.
    auto circular_179 = [](double mjd_tt) {
        const double T = (mjd_tt - sim::kMjdJ2000) / sim::kDaysPerCentury;
        return 0.001657 * std::sin(628.3076 * T + 6.2401) +
               0.000022 * std::sin(575.3385 * T + 4.2970) +
               0.000014 * std::sin(1256.6152 * T + 6.1969) +
               0.000005 * std::sin(606.9777 * T + 4.0212) +
               0.000005 * std::sin(52.9691 * T + 0.4444) +
               0.000002 * std::sin(21.3299 * T + 5.5431) +
               0.000010 * T * std::sin(628.3076 * T + 4.2490);
    };
    for (double mjd = 61041.0; mjd < 61041.0 + 365.0; mjd += 36.5)
        EXPECT_NEAR(sim::tdb_minus_tt_s(mjd), circular_179(mjd), 12e-6) << mjd;

    // Between the whole hours where the series is evaluated: the same answer whatever was asked
    // before, and no step at an hour.
    const double hour = 61100.0 + 7.0 / 24.0;
    const double dates[] = {hour - 1e-7, hour + 1e-7, hour - 0.5 / 24, hour + 1.5 / 24, hour + 1e-7,
                            hour - 1e-7, 61200.0,     hour + 1.5 / 24, hour - 0.5 / 24};
    double first[9];
    for (int i = 0; i < 9; ++i) first[i] = sim::tdb_minus_tt_s(dates[i]);
    for (int i = 8; i >= 0; --i) EXPECT_EQ(sim::tdb_minus_tt_s(dates[i]), first[i]) << i;
    EXPECT_NEAR(first[1] - first[0], 0.0, 1e-10);
}
