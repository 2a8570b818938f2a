// The landing autopilot: its control law on its own, and one call on a lander, whose outputs are
// the three engine levels and the autopilot phase.
#include "lander/landing_autopilot.h"

#include <cmath>

#include "support/lander_fixture.h"

using namespace autopilot;

namespace {

constexpr double lander_mass_kg = 661.0;
constexpr double dt_s = 0.02;

}  // namespace

TEST(AutopilotChannel, ErrorsAreMeasuredFromThrustAxisToTarget) {
    EXPECT_EQ(pitch_error_rad(_V(0, 0, 1)), 0.0);
    EXPECT_EQ(yaw_error_rad(_V(0, 0, 1)), 0.0);
    // A target towards +y is a negative pitch error (a turn with positive rate about x brings
    // +z there); a target towards +x a positive yaw error. Length does not matter.
    EXPECT_NEAR(pitch_error_rad(_V(0, 5 * std::sin(10 * deg), 5 * std::cos(10 * deg))), -10 * deg,
                1e-12);
    EXPECT_NEAR(yaw_error_rad(_V(std::sin(10 * deg), 0, std::cos(10 * deg))), 10 * deg, 1e-12);
    EXPECT_NEAR(std::fabs(pitch_error_rad(_V(0, 0, -1))), std::numbers::pi, 1e-12);
}

TEST(AutopilotChannel, StoppingRateOutsideTheFineBandProportionalInside) {
    const double a = pitch_authority_rad_s2(lander_mass_kg);
    EXPECT_NEAR(a, 101.346 / (0.46 * 661.0), 1e-12);
    EXPECT_EQ(channel_differential(0.0, 0.0, a, dt_s), 0.0);

    // 10 degrees: the stopping rate exceeds 8 deg/s and is limited to it. Just short of that
    // rate the command is proportional to the rate still missing.
    const double limit = 8 * deg;
    double rate = -limit + 0.0005;
    EXPECT_NEAR(channel_differential(10 * deg, rate, a, dt_s), 0.02 * (-limit - rate) / (a * dt_s),
                1e-12);
    EXPECT_NEAR(channel_differential(-10 * deg, -rate, a, dt_s),
                -0.02 * (-limit - rate) / (a * dt_s), 1e-12);
    EXPECT_EQ(channel_differential(10 * deg, 0.0, a, dt_s), -0.02);  // far from it: full authority
    EXPECT_EQ(channel_differential(-10 * deg, 0.0, a, dt_s), 0.02);

    // Exactly 1 degree still uses the stopping rate: 0.9 sqrt(2 a e), below the limit here.
    const double stop_1deg = 0.9 * std::sqrt(2 * a * 1 * deg);
    ASSERT_LT(stop_1deg, limit);
    rate = -stop_1deg + 0.0002;
    EXPECT_NEAR(channel_differential(1 * deg, rate, a, dt_s),
                0.02 * (-stop_1deg - rate) / (a * dt_s), 1e-12);

    // Half a degree: (-e - rate) / 0.2 / a, whatever the step.
    EXPECT_NEAR(channel_differential(0.5 * deg, 0.0, a, dt_s), 0.02 * (-0.5 * deg) / 0.2 / a,
                1e-12);
    EXPECT_NEAR(channel_differential(-0.5 * deg, 0.001, a, 0.0),
                0.02 * (0.5 * deg - 0.001) / 0.2 / a, 1e-12);
}

TEST(AutopilotChannel, ZeroStepSaturatesOrCommandsNothing) {
    const double a = yaw_authority_rad_s2(lander_mass_kg);
    EXPECT_EQ(channel_differential(10 * deg, 0.0, a, 0.0), -0.02);
    EXPECT_EQ(channel_differential(-10 * deg, 0.0, a, 0.0), 0.02);
    // Already turning at exactly the commanded rate: 0/0, no command rather than no number.
    EXPECT_EQ(channel_differential(-10 * deg, 8 * deg, a, 0.0), 0.0);
}

TEST(AutopilotThrottle, FollowsTheDecelerationProfile) {
    const double weight_n = lander_mass_kg * 3.71;
    auto level = [&](double h, double vy, double cos_tilt = 1.0) {
        return common_level({.height_m = h,
                             .vertical_speed_m_s = vy,
                             .weight_n = weight_n,
                             .mass_kg = lander_mass_kg,
                             .cos_tilt = cos_tilt});
    };
    // The deceleration that takes |vy| to vt over the height left above ht.
    auto profile = [&](double h, double vy, double ht, double vt) {
        const double decel = (vy * vy - vt * vt) / (2 * (h - ht));
        return (weight_n + lander_mass_kg * decel) / full_thrust_n;
    };
    EXPECT_NEAR(level(300, -20), profile(300, -20, 9.9, 2.0), 1e-12);
    // At 10 m the upper target still holds; just below it the lower one takes over.
    EXPECT_NEAR(level(10, -2.1), profile(10, -2.1, 9.9, 2.0), 1e-12);
    EXPECT_NEAR(level(9.999, -2.1), profile(9.999, -2.1, 0.0, 1.0), 1e-12);
    EXPECT_GT(level(10, -2.1) - level(9.999, -2.1), 0.1);
    // Tilt asks for more thrust along the axis; past horizontal the floor keeps it finite.
    EXPECT_NEAR(level(300, -20, 0.5), 2 * level(300, -20), 1e-12);
    EXPECT_EQ(level(300, -20, -0.3), 0.96);
    // Ceiling, coast above 800 m, and no lower limit.
    EXPECT_EQ(level(50, -40), 0.96);
    EXPECT_EQ(level(800.1, -80), 0.25);
    EXPECT_EQ(level(800.1, 0), 0.25);
    EXPECT_EQ(level(800, -120), 0.96);
    EXPECT_LT(level(20, -0.5), weight_n / full_thrust_n);  // slower than the profile: less
    EXPECT_LT(level(400, 0), weight_n / full_thrust_n);
    // Climbing faster than the target speed still gets more than the weight.
    EXPECT_GT(level(100, 3), weight_n / full_thrust_n);
}

TEST(AutopilotThrottle, SplitLevelsStayWithinTheThrusterRange) {
    engine_levels e = split_levels(0.5, 0.02, 0.01);
    EXPECT_DOUBLE_EQ(e.engine_1, 0.48);
    EXPECT_DOUBLE_EQ(e.engine_2, 0.51);
    EXPECT_DOUBLE_EQ(e.engine_3, 0.53);
    e = split_levels(0.96, 0.02, 0.02);
    EXPECT_DOUBLE_EQ(e.engine_3, 1.0);
    e = split_levels(-0.3, 0.02, -0.02);
    EXPECT_EQ(e.engine_1, 0.0);
    EXPECT_EQ(e.engine_2, 0.0);
    EXPECT_EQ(e.engine_3, 0.0);
    e = split_levels(0.01, 0.02, 0.0);
    EXPECT_EQ(e.engine_1, 0.0);
    EXPECT_DOUBLE_EQ(e.engine_2, 0.03);
}

TEST_F(LanderTest, AutopilotSetsTheEnginesInItsFixedOrder) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.autopilot_phase = powered_descent;
    l.last_step = dt_s;

    // Level and still above 800 m with the target on the axis: all three at the coast level.
    place(v, 900.0, {-30, 0, 0});
    v->trace.enabled = true;
    l.step_landing_autopilot();
    const std::vector<std::string> order = {
        "GetMass",          "GetAngularVel",        "HorizonRot",
        "GetWeightVector",  "GetGroundspeedVector", "GetAltitude",
        "SetThrusterLevel", "SetThrusterLevel",     "SetThrusterLevel",
        "GroundContact"};
    EXPECT_EQ(v->trace.ops(), order);
    for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3}) EXPECT_EQ(level(v, e), 0.25);

    // A target 10 degrees towards +y with a zero step: full pitch-up authority, engines 2 and 3
    // (on the -y side) above engine 1.
    l.target_dir = _V(0, std::sin(10 * deg), std::cos(10 * deg));
    l.last_step = 0.0;
    l.step_landing_autopilot();
    EXPECT_DOUBLE_EQ(level(v, l.engine_1), 0.23);
    EXPECT_DOUBLE_EQ(level(v, l.engine_2), 0.27);
    EXPECT_DOUBLE_EQ(level(v, l.engine_3), 0.27);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
}

TEST_F(LanderTest, AutopilotCutsOffAtContactAndBelowOneMetre) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.last_step = dt_s;
    struct Case {
        double height_m;
        bool contact;
        bool cut;
    };
    for (const Case c : {Case{1.5, false, false}, Case{0.99, false, true}, Case{50.0, true, true},
                         Case{0.9, true, true}}) {
        place(v, c.height_m, {-3, 0, 0});
        v->state.ground_contact = c.contact;
        l.autopilot_phase = powered_descent;
        l.step_landing_autopilot();
        for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3})
            EXPECT_EQ(level(v, e) == 0.0, c.cut) << c.height_m;
        EXPECT_EQ(l.autopilot_phase, c.cut ? autopilot_off : powered_descent) << c.height_m;
    }
}
