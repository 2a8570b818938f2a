// The landing autopilot: from separation to touchdown on the three descent engines alone.
#include "landing_autopilot.h"

#include <cmath>

#include "quor_tevlan.h"
#include "vector_ops.h"

namespace autopilot {

double pitch_error_rad(const VECTOR3& target) {
    return std::atan2(-target.y, target.z);
}

double yaw_error_rad(const VECTOR3& target) {
    return std::atan2(target.x, target.z);
}

double pitch_authority_rad_s2(double mass_kg) {
    return pitch_torque_nm / (pitch_inertia_per_kg_m2 * mass_kg);
}

double yaw_authority_rad_s2(double mass_kg) {
    return yaw_torque_nm / (yaw_inertia_per_kg_m2 * mass_kg);
}

double channel_differential(double error_rad, double rate_rad_s, double authority_rad_s2,
                            double step_s) {
    // The rate from which a full-authority turn still stops within the remaining angle.
    double stop_rate = braking_margin * std::sqrt(std::fabs(2.0 * authority_rad_s2 * error_rad));
    if (stop_rate > turn_rate_limit_rad_s)
        stop_rate = turn_rate_limit_rad_s;
    const double commanded_rate = error_rad > 0.0 ? -stop_rate : stop_rate;
    double u = (commanded_rate - rate_rad_s) / (authority_rad_s2 * step_s);

    const double error_deg = error_rad * (180.0 / std::numbers::pi);
    if (error_deg > -fine_band_deg && error_deg < fine_band_deg)
        u = (-error_rad - rate_rad_s) / fine_band_time_constant_s / authority_rad_s2;

    // A zero step with nothing to correct gives 0/0: no command.
    if (std::isnan(u))
        u = 0.0;
    if (u > 1.0)
        u = 1.0;
    if (u < -1.0)
        u = -1.0;
    return differential_authority * u;
}

double common_level(const throttle_inputs& in) {
    const double cos_tilt = in.cos_tilt < tilt_cos_floor ? tilt_cos_floor : in.cos_tilt;
    const bool low = in.height_m < target_switch_height_m;
    const double target_height_m = low ? lower_target_height_m : upper_target_height_m;
    const double target_speed_m_s = low ? lower_target_speed_m_s : upper_target_speed_m_s;

    // Constant deceleration that brings the descent rate to the target speed at the target
    // height.
    const double time_s =
        (in.height_m - target_height_m) / (target_speed_m_s - in.vertical_speed_m_s);
    const double decel_m_s2 = (-in.vertical_speed_m_s - target_speed_m_s) / (2.0 * time_s);
    const double thrust_n = in.weight_n + in.mass_kg * decel_m_s2;

    double level = thrust_n / cos_tilt / full_thrust_n;
    if (level > level_ceiling)
        level = level_ceiling;
    if (in.height_m > coast_above_m)
        level = coast_level;
    return level;
}

namespace {

// Thrusters take levels from 0 to 1; a negative (or undefined) demand is no thrust.
double raised_to_zero(double level) {
    return level > 0.0 ? level : 0.0;
}

}  // namespace

engine_levels split_levels(double common, double pitch_diff, double yaw_diff) {
    return {raised_to_zero(common - pitch_diff), raised_to_zero(common + pitch_diff - yaw_diff),
            raised_to_zero(common + pitch_diff + yaw_diff)};
}

}  // namespace autopilot

namespace {

void cut_engines(quor_tevlan& lander) {
    lander.SetThrusterLevel(lander.engine_1, 0.0);
    lander.SetThrusterLevel(lander.engine_2, 0.0);
    lander.SetThrusterLevel(lander.engine_3, 0.0);
    lander.autopilot_phase = autopilot_off;
}

}  // namespace

void quor_tevlan::step_landing_autopilot() {
    using namespace autopilot;

    // Read the flight state.
    const double mass_kg = GetMass();
    VECTOR3 rate_rad_s;
    GetAngularVel(rate_rad_s);
    VECTOR3 axis_horizon;
    HorizonRot(_V(0, 0, 1), axis_horizon);
    VECTOR3 weight_n;
    GetWeightVector(weight_n);
    VECTOR3 ground_velocity;
    GetGroundspeedVector(FRAME_HORIZON, ground_velocity);
    const double height_m = GetAltitude(ALTMODE_GROUND);

    // Attitude and throttle.
    const double pitch_diff = channel_differential(pitch_error_rad(target_dir), rate_rad_s.x,
                                                   pitch_authority_rad_s2(mass_kg), last_step);
    const double yaw_diff = channel_differential(yaw_error_rad(target_dir), rate_rad_s.y,
                                                 yaw_authority_rad_s2(mass_kg), last_step);
    const double level = common_level({.height_m = height_m,
                                       .vertical_speed_m_s = ground_velocity.y,
                                       .weight_n = vector_length(weight_n),
                                       .mass_kg = mass_kg,
                                       .cos_tilt = axis_horizon.y});

    const engine_levels out = split_levels(level, pitch_diff, yaw_diff);
    SetThrusterLevel(engine_1, out.engine_1);
    SetThrusterLevel(engine_2, out.engine_2);
    SetThrusterLevel(engine_3, out.engine_3);

    // Touchdown: engines off, autopilot off.
    if (GroundContact())
        cut_engines(*this);
    if (height_m < cutoff_height_m)
        cut_engines(*this);
}
