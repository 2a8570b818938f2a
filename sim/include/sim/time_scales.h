// The time scales behind the stand-in's dates, worked out by ERFA (the C library of the IAU's
// SOFA routines). The clock's date is UTC, a modified Julian date as ERFA takes a UTC date: on
// a day that ends in a leap second its fraction spans the day's 86401 seconds.
//
// - TT = UTC + (TAI - UTC) + 32.184 s, TAI - UTC from ERFA's table of leap seconds (eraUtctai,
//   eraDat, eraTaitt). From 1960 to 1971 the table holds the drifting offsets of the early UTC.
//   Before 1960, where there was no UTC, ERFA takes TAI - UTC as 0; after the table's last leap
//   second it keeps that offset (37 s since 2017). Dates ERFA cannot take at all (before 4800
//   BC, after about 2.7 million years AD, or not finite) get TAI = UTC, or NaN when not finite.
// - TDB = TT + (TDB - TT), the periodic difference of at most 1.7 ms, from eraDtdb at the
//   geocentre, applied by eraTttdb. The planets' mean elements and the IAU rotational elements
//   of the Sun and Mars run on TDB.
// - Earth's rotation angle runs on UT1, which is taken as UTC (they differ by less than 0.9 s):
//   eraEra00.
#pragma once

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// TT - UTC at a UTC date, s.
double tt_minus_utc_s(double mjd_utc);

// TDB - TT at a TT date, s. eraDtdb costs some 80 microseconds, far more than a frame's other
// work, so it is evaluated at the whole hours of TT and interpolated linearly between them:
// within 2e-10 s of eraDtdb itself.
double tdb_minus_tt_s(double mjd_tt);

// Days of TDB since J2000 (2000 January 1, 12 h TDB) at a UTC date: the time argument of the
// planets' mean elements and of the IAU rotational elements.
double tdb_days_since_j2000(double mjd_utc);

// Earth's rotation angle at a UTC date, UT1 taken as UTC, radians in [0, 2 pi).
double earth_rotation_angle_rad(double mjd_utc);

SIM_API_END
}  // namespace sim
