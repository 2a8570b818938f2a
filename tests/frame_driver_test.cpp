// The lander's per-frame driver: mechanisms, touchdown dust, arming near Mars, the one-shot
// actions on the carrier, and a powered descent flown in closed loop with the stand-in.
#include "lander/frame_driver.h"

#include <cmath>
#include <cstdio>

#include "host/keys.h"
#include "lander/landing_autopilot.h"
#include "support/lander_fixture.h"

using autopilot::deg;

namespace {

// The lander's frame callback alone, nothing moves.
void frames(quor_tevlan& l, int n, double dt_s = 0.02) {
    for (int i = 0; i < n; ++i) l.clbkBeforeStep(0.0, dt_s, 51544.5);
}

}  // namespace

TEST(Mechanism, MovesCompletesPastItsEndAndHolds) {
    struct Case {
        int status;
        double state, dt;
        int status_after;
        double state_after;
    };
    const Case cases[] = {
        {opening, 0.5, 1.0, opening, 1.0},  // reaching 1 exactly: completes only next frame
        {opening, 1.0, 0.1, at_rest_open, 1.0},
        {closing, 0.0, 0.1, at_rest_closed, 0.0},
        {at_rest_closed, 0.3, 0.1, at_rest_closed, 0.0},
        {at_rest_open, 0.3, 0.1, at_rest_open, 1.0},
        {7, 0.42, 0.1, 7, 0.42},
    };
    for (const Case& c : cases) {
        int status = c.status;
        double state = c.state;
        driver::advance_mechanism(status, state, {0.5, 0.25}, c.dt);
        EXPECT_EQ(status, c.status_after) << c.status << " " << c.state;
        EXPECT_EQ(state, c.state_after) << c.status << " " << c.state;
    }
}

TEST_F(LanderTest, MechanismsTravelAtTheirOwnRatesAndArePosedEveryFrame) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    place(v, 300e3);
    l.ant_status = l.arm_status = l.met_status = opening;
    l.leg_status = closing;
    frames(l, 10, 0.1);
    EXPECT_NEAR(l.leg_state, 0.5, 1e-12);  // 2 s of travel
    EXPECT_NEAR(l.met_state, 0.1, 1e-12);  // 10 s
    EXPECT_NEAR(l.ant_state, 0.05, 1e-12);
    EXPECT_NEAR(l.arm_state, 0.05, 1e-12);  // 20 s out
    frames(l, 11, 0.1);
    EXPECT_EQ(l.leg_status, at_rest_closed);
    l.arm_status = closing;
    frames(l, 10, 0.1);
    EXPECT_NEAR(l.arm_state, 0.105 - 0.03, 1e-12);  // 33.3 s in
    EXPECT_EQ(v->animations[l.anim_leg]->state, 0.0);
    EXPECT_EQ(v->animations[l.anim_met]->state, l.met_state);
    EXPECT_EQ(v->animations[l.anim_arm]->state, l.arm_state);
    v->trace.enabled = true;
    frames(l, 1, 0.0);  // a zero step moves nothing, and still poses all four
    EXPECT_EQ(v->trace.of("SetAnimation").size(), 4u);
}

TEST_F(LanderTest, DustFadesWithHeightAndTiltAndHoldsWhileHanging) {
    using driver::dust_level;
    EXPECT_EQ(dust_level(0.8, 4.0, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(dust_level(0.8, 2.0, 1.0), 0.4);
    EXPECT_EQ(dust_level(0.8, 0.5, 1.0), 0.8);
    EXPECT_EQ(dust_level(0.8, -0.2, 1.0), 0.8);  // origin below the ground: full, not negative
    EXPECT_NEAR(dust_level(0.8, 0.5, std::cos(10 * deg)), 0.8 * std::cos(30 * deg), 1e-12);
    EXPECT_NEAR(dust_level(0.8, 0.5, std::cos(30 * deg)), 0.0, 1e-12);
    EXPECT_EQ(dust_level(0.8, 0.5, 1.0 + 1e-15), 0.8);  // rounding past 1 gives no NaN

    sim::Vessel* carrier = add_carrier();
    place(carrier, 6.0);
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    ASSERT_TRUE(hang(v, carrier));
    l.SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
    l.SetThrusterLevel(l.dust_thruster, 0.7);
    frames(l, 1);
    EXPECT_EQ(level(v, l.dust_thruster), 0.7);
    carrier->iface->DetachChild(carrier->iface->GetAttachmentHandle(false, 0), 0.0);
    place(v, 2.0);
    frames(l, 1);
    EXPECT_NEAR(level(v, l.dust_thruster), 0.25, 1e-12);  // an upright axis, to rounding
}

TEST_F(LanderTest, ArmsNearMarsAndStartsTheSequenceTheFrameAfter) {
    sim::Vessel* carrier = add_carrier();
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    place(v, 4500.0);
    frames(l, 2);  // Mars unknown: never armed
    EXPECT_EQ(l.autopilot_phase, autopilot_armed);
    l.mars_handle = mars->handle();
    place(v, 3'633'000.0 - mars->ground_radius_m());
    frames(l, 1);
    EXPECT_EQ(l.autopilot_phase, autopilot_armed);
    place(v, 4500.0);
    frames(l, 1);
    EXPECT_EQ(l.autopilot_phase, attached_descent);
    EXPECT_TRUE(carrier_keys.empty());
    frames(l, 1);
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_G}));
}

TEST_F(LanderTest, KeyUGoesOnceToTheLandedCarrierWhileTheLanderIsNearMars) {
    sim::Vessel* carrier = add_carrier();
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.mars_handle = mars->handle();
    l.autopilot_phase = autopilot_off;
    place(carrier, 100.0);
    place(v, 200e3);
    frames(l, 2);  // carrier still flying
    sim::place_landed(*world, *carrier, 0.0, 0.0, 0.0);
    place(v, 300e3);  // beyond 3,633 km from the centre
    frames(l, 2);
    EXPECT_TRUE(carrier_keys.empty());
    place(v, 200e3);
    frames(l, 3);
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_U}));
    EXPECT_EQ(l.key_u_sent, 1);
}

TEST_F(LanderTest, CarrierIsPushedOnceWhenFreeAboveOneHundredKilometres) {
    sim::Vessel* station = add_carrier("Station");
    sim::Vessel* carrier = add_carrier();
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.autopilot_phase = autopilot_off;
    place(v, 150e3);
    place(station, 150e3, {0, 0, 3400});
    ASSERT_TRUE(station->iface->AttachChild(carrier->handle(),
                                            station->iface->GetAttachmentHandle(false, 0),
                                            carrier->iface->GetAttachmentHandle(true, 0)));
    carrier->trace.enabled = true;
    frames(l, 2);  // hanging on a parent
    station->iface->DetachChild(station->iface->GetAttachmentHandle(false, 0), 0.0);
    place(carrier, 150e3, {0, 0, 3400}, {0.4, 0.2, 0.3});
    place(v, 99e3);
    frames(l, 1);  // lander too low
    EXPECT_TRUE(carrier->trace.of("DefSetStateEx").empty());

    place(v, 150e3);
    const VECTOR3 pos0 = carrier->state.rpos, vel0 = carrier->state.rvel;
    const VECTOR3 axis = sim::mul(carrier->state.rot, VECTOR3{0, 0, 1});
    frames(l, 3);
    EXPECT_EQ(carrier->trace.of("DefSetStateEx").size(), 1u);
    EXPECT_EQ(l.mother_pushed, 1);
    const VECTOR3 dv = carrier->state.rvel - vel0;
    EXPECT_NEAR(sim::dot(dv, axis), 0.3, 1e-9);
    EXPECT_NEAR(sim::length(dv), 0.3, 1e-9);
    EXPECT_NEAR(sim::length(carrier->state.rpos - pos0), 0.0, 1e-6);
}

TEST_F(LanderTest, DescentInClosedLoopTurnsOntoTheTargetAndLands) {
    struct Case {
        const char* what;
        VECTOR3 offset;      // attitude offset, Euler angles
        VECTOR3 ground_vel;  // global here: x up, y north, z east
    };
    for (const Case& c : {Case{"pitch offset", {10 * deg, 0, 0}, {-20, 0, 0}},
                          Case{"yaw offset, drifting", {0, 10 * deg, 0}, {-15, 2, -3}}}) {
        sim::Vessel* v = add_lander(c.what);
        quor_tevlan& l = lander_of(v);
        l.mars_handle = mars->handle();
        l.autopilot_phase = powered_descent;
        place(v, 300.0, c.ground_vel, c.offset);
        const double t0 = world->clock.t_s;
        double max_rate = 0.0, max_error_late = 0.0;
        while (world->clock.t_s - t0 < 120.0 && !v->state.ever_touched) {
            world->step(0.02);
            max_rate =
                std::max({max_rate, std::fabs(v->state.omega.x), std::fabs(v->state.omega.y)});
            const VECTOR3& tgt = l.target_dir;
            if (world->clock.t_s - t0 > 10.0)
                max_error_late = std::max(max_error_late, std::acos(tgt.z / sim::length(tgt)));
        }
        ASSERT_TRUE(v->state.ever_touched) << c.what;
        for (int i = 0; i < 250; ++i) world->step(0.02);

        const auto& td = v->state.touchdown;
        std::printf(
            "[ closed loop ] %s: touchdown after %.1f s, vertical %.2f m/s, horizontal %.2f "
            "m/s, tilt %.2f deg, propellant %.1f kg; peak rate %.2f deg/s, off target "
            "after 10 s %.2f deg\n",
            c.what, td.time_s - t0, td.vertical_m_s, td.horizontal_m_s, td.tilt_deg,
            td.propellant_kg, max_rate / deg, max_error_late / deg);
        EXPECT_LT(max_rate, 8.5 * deg) << c.what;  // the turn-rate limit holds: no spin-up
        EXPECT_LT(max_error_late, 1.0 * deg) << c.what;
        EXPECT_LT(td.vertical_m_s, 2.0) << c.what;
        EXPECT_LT(td.horizontal_m_s, 0.3) << c.what;
        EXPECT_LT(td.tilt_deg, 2.0) << c.what;
        EXPECT_EQ(l.autopilot_phase, autopilot_off) << c.what;
        for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3}) EXPECT_EQ(level(v, e), 0.0);
        world->destroy_vessel(v);
    }
}
