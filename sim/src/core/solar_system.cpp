// The stand-in's solar system: the Sun at the origin of the global frame, Mars and Earth on
// their orbits, each turning about its tilted axis.
//
// Sources:
// - Masses, radii and atmospheres: NASA Planetary Fact Sheets (nssdc.gsfc.nasa.gov), rounded as
//   published.
// - Orbits: E. M. Standish, "Keplerian Elements for Approximate Positions of the Major
//   Planets", JPL Solar System Dynamics, table 1 (valid 1800-2050 AD); Earth's row is the
//   Earth-Moon barycentre.
// - Poles and prime meridians: B. A. Archinal et al., "Report of the IAU Working Group on
//   Cartographic Coordinates and Rotational Elements: 2009", Celest. Mech. Dyn. Astr. 109
//   (2011), table 1; their time argument is TDB. Earth's prime meridian follows the Earth
//   rotation angle of UT1 (ERFA's eraEra00, after the IERS Conventions (2010), eq. 5.15,
//   360 (0.7790572732640 + 1.00273781191135448 d) degrees, which the row repeats for the rate),
//   counted from the equator's node: 90 degrees less.
// - The planets' mean elements run on TDB, which Standish's elements approximate (T_eph).
#include "sim/solar_system.h"

#include <array>

namespace sim {

namespace {

constexpr std::array<BodyDefinition, 3> kSolarSystem = {{
    {
        "Sun",
        1.32712440018e20,
        695700e3,
        {},
        std::nullopt,
        {286.13, 0.0, 63.87, 0.0, 84.176, 14.1844000},
    },
    {
        "Mars",
        4.282837e13,
        3389.5e3,
        {0.020, 11.1e3, 210.0},  // surface density, scale height 11.1 km
        OrbitalElements{1.52371034, 0.00001847, 0.09339410, 0.00007882, 1.84969142, -0.00813131,
                        -4.55343205, 19140.30268499, -23.94362959, 0.44441088, 49.55953891,
                        -0.29257343},
        {317.68143, -0.1061, 52.88650, -0.0609, 176.630, 350.89198226},  // 24.6229 h
    },
    {
        "Earth",
        3.986004418e14,
        6371.0e3,
        {1.217, 8.5e3, 288.0},  // surface density, scale height 8.5 km
        OrbitalElements{1.00000261, 0.00000562, 0.01671123, -0.00004392, -0.00001531, -0.01294668,
                        100.46457166, 35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0},
        {0.0, -0.641, 90.0, -0.557, 190.46061837504, 360.9856122880876, true},
    },
}};

}  // namespace

std::vector<std::unique_ptr<Body>> make_solar_system() {
    std::vector<std::unique_ptr<Body>> bodies;
    for (const BodyDefinition& d : kSolarSystem) bodies.push_back(std::make_unique<Body>(d));
    return bodies;
}

}  // namespace sim
