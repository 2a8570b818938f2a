// UTC to TAI to TT to TDB, and Earth's rotation angle, by ERFA. Dates go to ERFA as two-part
// Julian dates, 2400000.5 + MJD, so that the MJD keeps every digit.
#include "sim/time_scales.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace sim {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The dates ERFA's calendar routines take (eraJd2cal: Julian dates -68569.5 to 1e9), less a
// day at each end for the leap-second look-up of the day after.
constexpr double kFirstMjd = -68569.5 - ERFA_DJM0 + 1.0;
constexpr double kLastMjd = 1e9 - ERFA_DJM0 - 1.0;

struct TwoPart {
    double jd1, jd2;
};

// TT of a UTC date. Status +1 of eraUtctai (a date before UTC existed, or long after the table
// of leap seconds ends) is ERFA's warning and its answer stands.
TwoPart tt_of_utc(double mjd_utc) {
    TwoPart tt{ERFA_DJM0, mjd_utc + ERFA_TTMTAI / ERFA_DAYSEC};  // TAI = UTC
    double tai1 = 0.0, tai2 = 0.0;
    if (mjd_utc >= kFirstMjd && mjd_utc <= kLastMjd &&
        eraUtctai(ERFA_DJM0, mjd_utc, &tai1, &tai2) >= 0)
        eraTaitt(tai1, tai2, &tt.jd1, &tt.jd2);
    return tt;
}

// TDB - TT at two whole hours of TT, the hour before a date and the hour after.
struct HourNodes {
    double hour = kNaN;  // TT hours since MJD 0 of the earlier node; NaN never equals
    double before_s = 0.0, after_s = 0.0;
};

// At the geocentre: the terms of the observer's place on the Earth vanish.
double dtdb_at_hour(double hour) {
    return eraDtdb(ERFA_DJM0, hour / 24.0, 0.0, 0.0, 0.0, 0.0);
}

// The TDB of the last dates asked: every body asks for the frame's date, most of them twice.
struct Remembered {
    double mjd_utc = kNaN;
    double tdb_days = 0.0;
};

}  // namespace

double tt_minus_utc_s(double mjd_utc) {
    if (!std::isfinite(mjd_utc))
        return kNaN;
    const TwoPart tt = tt_of_utc(mjd_utc);
    return ((tt.jd1 - ERFA_DJM0) + (tt.jd2 - mjd_utc)) * ERFA_DAYSEC;
}

double tdb_minus_tt_s(double mjd_tt) {
    if (!std::isfinite(mjd_tt))
        return kNaN;
    thread_local HourNodes nodes;
    const double hours = mjd_tt * 24.0;
    const double hour = std::floor(hours);
    if (hour != nodes.hour) {
        // Moving on by an hour, the later node becomes the earlier one.
        nodes.before_s = hour == nodes.hour + 1.0 ? nodes.after_s : dtdb_at_hour(hour);
        nodes.after_s = dtdb_at_hour(hour + 1.0);
        nodes.hour = hour;
    }
    return nodes.before_s + (nodes.after_s - nodes.before_s) * (hours - hour);
}

double tdb_days_since_j2000(double mjd_utc) {
    if (!std::isfinite(mjd_utc))
        return kNaN;
    thread_local std::array<Remembered, 2> remembered;
    thread_local std::size_t next_slot = 0;
    for (const Remembered& r : remembered)
        if (r.mjd_utc == mjd_utc)
            return r.tdb_days;
    const TwoPart tt = tt_of_utc(mjd_utc);
    const double dtr = tdb_minus_tt_s((tt.jd1 - ERFA_DJM0) + tt.jd2);
    double tdb1 = 0.0, tdb2 = 0.0;
    eraTttdb(tt.jd1, tt.jd2, dtr, &tdb1, &tdb2);
    Remembered& r = remembered[next_slot];
    next_slot = (next_slot + 1) % remembered.size();
    r.mjd_utc = mjd_utc;
    r.tdb_days = (tdb1 - ERFA_DJ00) + tdb2;
    return r.tdb_days;
}

double earth_rotation_angle_rad(double mjd_utc) {
    return eraEra00(ERFA_DJM0, mjd_utc);
}

}  // namespace sim
