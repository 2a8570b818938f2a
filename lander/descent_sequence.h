// The descent sequence: attached descent on the mother vessel with its events at fixed heights
// above the ground, then powered descent, in which the thrust axis is steered by a target
// direction built in the local horizon frame (x east, y up, z north).
#pragma once

#include "host/math_types.h"
#include "landing_autopilot.h"

class quor_tevlan;
class VESSEL;

namespace descent {

// Attached descent, heights above the ground.
constexpr double key_k_below_m = 6000.0;
constexpr double key_g_below_m = 5000.0;
constexpr double gear_below_m = 2000.0;
constexpr double prestart_below_m = 1640.0;
constexpr double prestart_level = 0.2;
constexpr double separation_below_m = 1490.0;
constexpr double mother_empty_mass_kg = 180.0;
constexpr double separation_speed_m_s = 0.0;

// Powered descent.
constexpr double lean_fraction = 0.25;  // of the angle between ground velocity and straight down
constexpr double lean_limit_rad = 10.0 * autopilot::deg;
constexpr double wind_steering_above_m = 800.0;
constexpr double wind_tilt_rad = 20.0 * autopilot::deg;
constexpr VECTOR3 no_wind_direction{-0.5, 0.866, 0.0};
constexpr VECTOR3 vertical{0.0, 1.0, 0.0};
constexpr double vertical_below_m = 7.0;

// The retrograde direction turned away from the vertical by a quarter of the angle between the
// ground velocity and straight down, at most 10 degrees. It keeps the length of the ground
// velocity. Without a horizontal ground velocity (falling straight down, climbing straight up
// or at rest) the track plane is undefined and the result is the vertical.
VECTOR3 leaned_retrograde(const VECTOR3& ground_velocity);

// The vertical tilted by 20 degrees against the horizontal part of the wind; the vertical when
// the wind has no horizontal part.
VECTOR3 against_wind(const VECTOR3& wind);

// The mother vessel's interface; null when there is none or it no longer exists.
VESSEL* mother_of(const quor_tevlan& lander);

}  // namespace descent
