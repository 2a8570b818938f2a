// The lander's per-frame driver: mechanisms, touchdown dust, arming near Mars, the one-shot
// actions on the carrier, and a powered descent flown in closed loop with the stand-in.
#include "lander/frame_driver.h"

#include <cmath>
#include <cstdio>

#include "host/keys.h"
#include "lander/landing_autopilot.h"
#include "support/lander_fixture.h"

using autopilot::deg;
using driver::advance_mechanism;
using driver::dust_level;

namespace {

// Runs the lander's frame callback alone, without moving anything.
void frames(quor_tevlan& l, int n, double dt_s) {
    for (int i = 0; i < n; ++i) l.clbkBeforeStep(0.0, dt_s, 51544.5);
}

}  // namespace

TEST(Mechanism, MovesCompletesPastItsEndAndHolds) {
    const driver::mechanism_rates r{0.5, 0.25};
    struct Case {
        int status;
        double state, dt;
        int status_after;
        double state_after;
    };
    const Case cases[] = {
        {opening, 0.2, 1.0, opening, 0.7},
        {opening, 0.5, 1.0, opening, 1.0},  // at 1: not yet
        {opening, 1.0, 0.1, at_rest_open, 1.0},
        {closing, 0.6, 1.0, closing, 0.35},
        {closing, 0.25, 1.0, closing, 0.0},
        {closing, 0.0, 0.1, at_rest_closed, 0.0},
        {at_rest_closed, 0.3, 0.1, at_rest_closed, 0.0},
        {at_rest_open, 0.3, 0.1, at_rest_open, 1.0},
        {7, 0.42, 0.1, 7, 0.42},
        {-1, 0.42, 0.1, -1, 0.42},
        {opening, 0.3, 0.0, opening, 0.3},
        {closing, 0.3, 0.0, closing, 0.3},
    };
    for (const Case& c : cases) {
        int status = c.status;
        double state = c.state;
        advance_mechanism(status, state, r, c.dt);
        EXPECT_EQ(status, c.status_after) << c.status << " " << c.state;
        EXPECT_EQ(state, c.state_after) << c.status << " " << c.state;
    }
}

TEST_F(LanderTest, MechanismsTravelAtTheirOwnRatesAndArePosedEveryFrame) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    place(v, 300e3);
    l.autopilot_phase = autopilot_off;
    l.ant_status = l.arm_status = l.met_status = opening;
    l.leg_status = closing;

    // Frames of 0.1 s: seconds until each move completes, and the pose after every frame.
    struct Mech {
        const char* name;
        int* status;
        double* state;
        UINT anim;
        int done;
        double expected_s;
        double done_s = -1;
    };
    Mech mechs[] = {{"antenna", &l.ant_status, &l.ant_state, l.anim_ant, at_rest_open, 20.0},
                    {"arm out", &l.arm_status, &l.arm_state, l.anim_arm, at_rest_open, 20.0},
                    {"mast", &l.met_status, &l.met_state, l.anim_met, at_rest_open, 10.0},
                    {"gear", &l.leg_status, &l.leg_state, l.anim_leg, at_rest_closed, 2.0}};
    double elapsed_s = 0.0;
    auto run = [&](double seconds) {
        for (int i = 1; i <= std::lround(seconds / 0.1); ++i) {
            frames(l, 1, 0.1);
            elapsed_s += 0.1;
            for (Mech& m : mechs) {
                EXPECT_EQ(v->animations[m.anim]->state, *m.state) << m.name;
                if (m.done_s < 0 && *m.status == m.done)
                    m.done_s = elapsed_s;
            }
        }
    };
    run(1.0);
    EXPECT_NEAR(l.leg_state, 0.5, 1e-12);
    EXPECT_NEAR(l.arm_state, 0.05, 1e-12);
    run(21.0);
    for (const Mech& m : mechs) EXPECT_NEAR(m.done_s, m.expected_s, 0.15) << m.name;

    // The arm comes back in 33.3 s.
    l.arm_status = closing;
    mechs[1] = {"arm in", &l.arm_status, &l.arm_state, l.anim_arm, at_rest_closed, 1 / 0.03};
    const double start_s = elapsed_s;
    run(34.0);
    EXPECT_NEAR(mechs[1].done_s - start_s, mechs[1].expected_s, 0.15);

    // A zero step moves nothing but still poses.
    l.met_status = closing;
    v->trace.enabled = true;
    frames(l, 1, 0.0);
    EXPECT_EQ(l.met_state, 1.0);
    EXPECT_EQ(v->trace.of("SetAnimation").size(), 4u);
}

TEST(Dust, FadesWithHeightAndTilt) {
    const double c10 = std::cos(10 * deg);
    EXPECT_EQ(dust_level(0.8, 4.0, 1.0), 0.0);
    EXPECT_EQ(dust_level(0.8, NAN, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(dust_level(0.8, 3.9, 1.0), 0.8 / 3.9);
    EXPECT_DOUBLE_EQ(dust_level(0.8, 2.0, 1.0), 0.4);
    EXPECT_EQ(dust_level(0.8, 0.5, 1.0), 0.8);
    EXPECT_EQ(dust_level(0.8, -0.2, 1.0), 0.8);  // origin sunk below the ground: full, not negative
    EXPECT_NEAR(dust_level(0.8, 0.5, c10), 0.8 * std::cos(30 * deg), 1e-12);
    EXPECT_NEAR(dust_level(0.8, 0.5, std::cos(30 * deg)), 0.0, 1e-12);
    EXPECT_NEAR(dust_level(0.8, 0.5, -1.0), 0.0, 1e-12);
    EXPECT_EQ(dust_level(0.0, 0.5, 1.0), 0.0);
    EXPECT_EQ(dust_level(0.8, 0.5, 1.0 + 1e-15), 0.8);  // rounding past 1 is no number otherwise
}

TEST_F(LanderTest, DustFollowsTheEnginesOnlyWhenFree) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 6.0);
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.autopilot_phase = autopilot_off;
    ASSERT_TRUE(hang(v, carrier));
    ASSERT_LT(l.GetAltitude(ALTMODE_GROUND), 4.0);
    l.SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
    l.SetThrusterLevel(l.dust_thruster, 0.7);
    frames(l, 1, 0.02);
    EXPECT_EQ(level(v, l.dust_thruster), 0.7);  // hanging: kept as it was

    carrier->iface->DetachChild(carrier->iface->GetAttachmentHandle(false, 0), 0.0);
    place(v, 2.0);
    frames(l, 1, 0.02);
    EXPECT_DOUBLE_EQ(level(v, l.dust_thruster), 0.25);
    place(v, 5.0);
    frames(l, 1, 0.02);
    EXPECT_EQ(level(v, l.dust_thruster), 0.0);
}

TEST_F(LanderTest, ArmsNearMarsAndStartsTheSequenceTheFrameAfter) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 20000.0);
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();

    // Armed without Mars known: nothing, however close.
    place(v, 4500.0);
    frames(l, 3, 0.02);
    EXPECT_EQ(l.autopilot_phase, autopilot_armed);

    l.mars_handle = mars->handle();
    place(v, 3'633'000.0 - mars->ground_radius_m());  // exactly at the arming distance
    frames(l, 1, 0.02);
    EXPECT_EQ(l.autopilot_phase, autopilot_armed);

    place(v, 4500.0);
    frames(l, 1, 0.02);
    EXPECT_EQ(l.autopilot_phase, attached_descent);
    EXPECT_TRUE(carrier_keys.empty());
    frames(l, 1, 0.02);
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_G}));

    l.autopilot_phase = autopilot_off;
    frames(l, 3, 0.02);
    EXPECT_EQ(carrier_keys.size(), 1u);
}

TEST_F(LanderTest, KeyUGoesOnceToTheLandedCarrierWhileTheLanderIsNearMars) {
    sim::Vessel* carrier = add_carrier();
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.mars_handle = mars->handle();
    l.autopilot_phase = autopilot_off;

    place(carrier, 100.0);  // still flying
    place(v, 200e3);
    frames(l, 2, 0.02);
    EXPECT_TRUE(carrier_keys.empty());

    sim::place_landed(*world, *carrier, 0.0, 0.0, 0.0);
    place(v, 300e3);  // beyond 3,633 km from the centre
    frames(l, 2, 0.02);
    EXPECT_TRUE(carrier_keys.empty());
    EXPECT_EQ(l.key_u_sent, 0);

    place(v, 200e3);
    frames(l, 3, 0.02);
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
    place(station, 150e3, {0, 0, 3400});
    place(carrier, 150e3, {0, 0, 3400}, 25 * deg);
    carrier->state.rot = sim::mul(carrier->state.rot, sim::rotation_from_euler({0, 0.4, 0.3}));
    carrier->trace.enabled = true;

    // Hanging on a parent: no push, and the test repeats.
    ASSERT_TRUE(station->iface->AttachChild(carrier->handle(),
                                            station->iface->GetAttachmentHandle(false, 0),
                                            carrier->iface->GetAttachmentHandle(true, 0)));
    frames(l, 2, 0.02);
    EXPECT_TRUE(carrier->trace.of("DefSetStateEx").empty());
    EXPECT_EQ(l.mother_pushed, 0);

    // The lander below 100 km: no push either.
    station->iface->DetachChild(station->iface->GetAttachmentHandle(false, 0), 0.0);
    place(v, 99e3);
    frames(l, 1, 0.02);
    EXPECT_EQ(l.mother_pushed, 0);

    place(v, 150e3);
    const VECTOR3 pos0 = carrier->state.rpos, vel0 = carrier->state.rvel;
    const VECTOR3 axis = sim::mul(carrier->state.rot, VECTOR3{0, 0, 1});
    frames(l, 3, 0.02);
    EXPECT_EQ(carrier->trace.of("DefSetStateEx").size(), 1u);
    EXPECT_EQ(l.mother_pushed, 1);
    const VECTOR3 dv = carrier->state.rvel - vel0;
    EXPECT_NEAR(sim::length(dv), 0.3, 1e-9);
    EXPECT_NEAR(sim::dot(dv, axis), 0.3, 1e-9);
    EXPECT_NEAR(sim::length(carrier->state.rpos - pos0), 0.0, 1e-6);
    EXPECT_NEAR(sim::dot(sim::mul(carrier->state.rot, VECTOR3{0, 0, 1}), axis), 1.0, 1e-12);
}

TEST_F(LanderTest, DescentInClosedLoopTurnsOntoTheTargetAndLands) {
    struct Case {
        const char* what;
        VECTOR3 offset;      // Euler angles of the attitude offset, rad
        VECTOR3 ground_vel;  // global here: x up, y north, z east
    };
    const Case cases[] = {{"pitch offset", {10 * deg, 0, 0}, {-20, 0, 0}},
                          {"yaw offset, drifting", {0, 10 * deg, 0}, {-15, 2, -3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Vessel* v = add_lander(c.what);
        quor_tevlan& l = lander_of(v);
        l.mars_handle = mars->handle();
        l.autopilot_phase = powered_descent;
        l.leg_status = at_rest_closed;
        place(v, 300.0, c.ground_vel);
        v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler(c.offset));

        const double dt = 0.02;
        double t = 0.0, max_rate = 0.0, max_error_late = 0.0;
        const double t0 = world->clock.t_s;
        while (t < 120.0 && !v->state.ever_touched) {
            world->step(dt);
            t += dt;
            // Per channel: the turn-rate limit holds each axis.
            max_rate =
                std::max({max_rate, std::fabs(v->state.omega.x), std::fabs(v->state.omega.y)});
            const VECTOR3& tgt = l.target_dir;
            if (t > 10.0)
                max_error_late = std::max(max_error_late, std::acos(tgt.z / sim::length(tgt)));
        }
        ASSERT_TRUE(v->state.ever_touched);
        for (int i = 0; i < 250; ++i) world->step(dt);

        const auto& td = v->state.touchdown;
        std::printf(
            "[ closed loop ] %s: touchdown at %.1f s, vertical %.2f m/s, horizontal %.2f m/s, "
            "tilt %.2f deg, propellant %.1f kg; peak rate per axis %.2f deg/s, axis off target "
            "after 10 s at most %.2f deg\n",
            c.what, td.time_s - t0, td.vertical_m_s, td.horizontal_m_s, td.tilt_deg,
            td.propellant_kg, max_rate / deg, max_error_late / deg);
        EXPECT_LT(max_rate, 8.5 * deg);  // no spin-up
        EXPECT_LT(max_error_late, 1.0 * deg);
        EXPECT_LT(td.vertical_m_s, 2.0);
        EXPECT_LT(td.horizontal_m_s, 0.3);
        EXPECT_LT(td.tilt_deg, 2.0);
        EXPECT_GT(td.propellant_kg, 10.0);
        EXPECT_EQ(l.autopilot_phase, autopilot_off);
        for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3}) EXPECT_EQ(level(v, e), 0.0);
        EXPECT_TRUE(v->state.ground_contact || v->state.landed);
        world->destroy_vessel(v);
    }
}
