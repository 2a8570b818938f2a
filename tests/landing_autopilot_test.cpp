// The landing autopilot: its control law on its own, and one call on a lander.
#include "lander/landing_autopilot.h"

#include <cmath>

#include "support/lander_fixture.h"

using namespace autopilot;

TEST(AutopilotLaw, AttitudeChannelSwitchesFromStoppingRateToFineBandBelowOneDegree) {
    const double a = pitch_authority_rad_s2(661.0), dt = 0.02, limit = 8 * deg;
    // A target towards +y is a negative pitch error, towards +x a positive yaw error.
    EXPECT_NEAR(pitch_error_rad(_V(0, std::sin(10 * deg), std::cos(10 * deg))), -10 * deg, 1e-12);
    EXPECT_NEAR(yaw_error_rad(_V(3 * std::sin(10 * deg), 0, 3 * std::cos(10 * deg))), 10 * deg,
                1e-12);
    EXPECT_EQ(channel_differential(0.0, 0.0, a, dt), 0.0);

    // 10 degrees: the stopping rate is capped at 8 deg/s; near it the command is proportional
    // to the rate still missing, far from it the authority is used in full.
    double rate = -limit + 0.0005;
    EXPECT_NEAR(channel_differential(10 * deg, rate, a, dt), 0.02 * (-limit - rate) / (a * dt),
                1e-12);
    EXPECT_EQ(channel_differential(10 * deg, 0.0, a, dt), -0.02);
    EXPECT_EQ(channel_differential(-10 * deg, 0.0, a, dt), 0.02);
    // Exactly 1 degree still uses the stopping rate 0.9 sqrt(2 a e).
    const double stop = 0.9 * std::sqrt(2 * a * deg);
    rate = -stop + 0.0002;
    EXPECT_NEAR(channel_differential(1 * deg, rate, a, dt), 0.02 * (-stop - rate) / (a * dt),
                1e-12);
    // Half a degree: (-e - rate) / 0.2 / a, whatever the step.
    EXPECT_NEAR(channel_differential(-0.5 * deg, 0.001, a, 0.0),
                0.02 * (0.5 * deg - 0.001) / 0.2 / a, 1e-12);
    // A zero step saturates; turning at exactly the commanded rate then is 0/0: no command.
    EXPECT_EQ(channel_differential(-10 * deg, 0.0, a, 0.0), 0.02);
    EXPECT_EQ(channel_differential(-10 * deg, limit, a, 0.0), 0.0);
}

TEST(AutopilotLaw, ThrottleFollowsTheDecelerationProfileWithinItsLimits) {
    const double m = 661.0, w = m * 3.71;
    auto level = [&](double h, double vy, double cos_tilt = 1.0) {
        return common_level({h, vy, w, m, cos_tilt});
    };
    // The deceleration that takes |vy| to vt over the height left above ht.
    auto profile = [&](double h, double vy, double ht, double vt) {
        return (w + m * (vy * vy - vt * vt) / (2 * (h - ht))) / full_thrust_n;
    };
    EXPECT_NEAR(level(300, -20), profile(300, -20, 9.9, 2.0), 1e-12);
    EXPECT_NEAR(level(10, -2.1), profile(10, -2.1, 9.9, 2.0), 1e-12);  // 10 m: still the upper
    EXPECT_NEAR(level(9.999, -2.1), profile(9.999, -2.1, 0.0, 1.0), 1e-12);
    EXPECT_NEAR(level(300, -20, 0.5), 2 * level(300, -20), 1e-12);
    EXPECT_EQ(level(300, -20, -0.3), 0.96);  // past horizontal: the floor keeps it finite
    EXPECT_EQ(level(800, -120), 0.96);
    EXPECT_EQ(level(800.1, -120), 0.25);
    EXPECT_LT(level(20, -0.5), w / full_thrust_n);  // slower than the profile: no lower limit
    EXPECT_GT(level(100, 3), w / full_thrust_n);    // climbing fast: more than the weight

    const engine_levels e = split_levels(0.96, 0.02, 0.02);
    EXPECT_DOUBLE_EQ(e.engine_1, 0.94);
    EXPECT_DOUBLE_EQ(e.engine_2, 0.96);
    EXPECT_DOUBLE_EQ(e.engine_3, 1.0);
    const engine_levels low = split_levels(0.01, 0.02, -0.005);
    EXPECT_EQ(low.engine_1, 0.0);  // raised to 0, not handed over negative
    EXPECT_DOUBLE_EQ(low.engine_3, 0.025);
}

TEST_F(LanderTest, AutopilotDrivesTheEnginesInOrderAndCutsThemAtTouchdown) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.autopilot_phase = powered_descent;
    l.last_step = 0.0;
    l.target_dir = _V(0, std::sin(10 * deg), std::cos(10 * deg));
    place(v, 900.0, {-30, 0, 0});
    v->trace.enabled = true;
    l.step_landing_autopilot();
    EXPECT_EQ(v->trace.ops(),
              std::vector<std::string>({"GetMass", "GetAngularVel", "HorizonRot", "GetWeightVector",
                                        "GetGroundspeedVector", "GetAltitude", "SetThrusterLevel",
                                        "SetThrusterLevel", "SetThrusterLevel", "GroundContact"}));
    // Coasting at 0.25, full pitch-up: engines 2 and 3 (on the -y side) above engine 1.
    EXPECT_DOUBLE_EQ(level(v, l.engine_1), 0.23);
    EXPECT_DOUBLE_EQ(level(v, l.engine_2), 0.27);
    EXPECT_DOUBLE_EQ(level(v, l.engine_3), 0.27);

    struct Case {
        double height_m;
        bool contact, cut;
    };
    for (const Case c : {Case{1.5, false, false}, Case{0.99, false, true}, Case{50, true, true}}) {
        place(v, c.height_m, {-3, 0, 0});
        v->state.ground_contact = c.contact;
        l.autopilot_phase = powered_descent;
        l.step_landing_autopilot();
        for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3})
            EXPECT_EQ(level(v, e) == 0.0, c.cut) << c.height_m;
        EXPECT_EQ(l.autopilot_phase, c.cut ? autopilot_off : powered_descent) << c.height_m;
    }
}
