// The landing autopilot's control law: two attitude channels that turn the thrust axis (+z) onto
// the target direction by throttling the descent engines unevenly, and a throttle law that brings
// the descent rate down to a target speed at a target height. Pure functions, so that the law
// can be checked apart from the vessel.
#pragma once

#include <numbers>

#include "host/math_types.h"

namespace autopilot {

constexpr double deg = std::numbers::pi / 180.0;

// Attitude channels.
constexpr double pitch_torque_nm = 101.346;  // 0.02 level difference, engine 1 against 2 and 3
constexpr double yaw_torque_nm = 87.69096;   // 0.02 level difference, engine 2 against 3
constexpr double pitch_inertia_per_kg_m2 = 0.46;
constexpr double yaw_inertia_per_kg_m2 = 0.94;
constexpr double turn_rate_limit_rad_s = 8.0 * deg;
constexpr double braking_margin = 0.9;
constexpr double fine_band_deg = 1.0;
constexpr double fine_band_time_constant_s = 0.2;
constexpr double differential_authority = 0.02;

// Throttle.
constexpr double tilt_cos_floor = 0.0001;
constexpr double target_switch_height_m = 10.0;
constexpr double upper_target_height_m = 9.9;
constexpr double upper_target_speed_m_s = 2.0;
constexpr double lower_target_height_m = 0.0;
constexpr double lower_target_speed_m_s = 1.0;
constexpr double full_thrust_n = 8001.0;  // three engines of 2667 N at level 1
constexpr double level_ceiling = 0.96;
constexpr double coast_above_m = 800.0;
constexpr double coast_level = 0.25;
constexpr double cutoff_height_m = 1.0;

// Angle from +z to the target, about x (pitch) and about y (yaw), rad in [-pi, pi].
double pitch_error_rad(const VECTOR3& target);
double yaw_error_rad(const VECTOR3& target);

// Angular acceleration at full differential authority, rad/s^2.
double pitch_authority_rad_s2(double mass_kg);
double yaw_authority_rad_s2(double mass_kg);

// Level difference of one channel, in [-0.02, 0.02]: a stopping-rate law outside the fine band,
// a proportional law inside it.
double channel_differential(double error_rad, double rate_rad_s, double authority_rad_s2,
                            double step_s);

struct throttle_inputs {
    double height_m;            // above ground
    double vertical_speed_m_s;  // positive upward
    double weight_n;
    double mass_kg;
    double cos_tilt;  // cosine of the angle between the thrust axis and the local vertical
};

// Common level of the three engines before the differentials; no lower limit.
double common_level(const throttle_inputs& in);

struct engine_levels {
    double engine_1, engine_2, engine_3;
};

// Levels of the three engines from the common level and the two differentials, raised to 0
// where the law asks for less.
engine_levels split_levels(double common, double pitch_diff, double yaw_diff);

}  // namespace autopilot
