// The umbilical's motion: its timing in frames of any length, the exact stops, the status that
// follows a frame later, statuses a scenario may hold, and the rotation descriptions every pad
// of the library shares.
#include <cmath>

#include "support/pad_fixture.h"

namespace {

// Frames of dt from status 3 at state 0 until the status is 1; the state after each frame.
struct run {
    double t_quarter_s = -1, t_full_s = -1, t_status_s = -1;
    bool left_range = false;
};
run swing_away(double dt) {
    run r;
    int status = umb_swinging_away;
    double state = 0.0, t = 0.0;
    while (status != umb_swung_away && t < 10) {
        umbilical_motion m = advance_umbilical(status, state, dt);
        t += dt;
        if (m.status == status && m.state == state)
            break;  // stuck
        if (r.t_quarter_s < 0 && m.state >= 0.25)
            r.t_quarter_s = t;
        if (r.t_full_s < 0 && m.state == 1.0)
            r.t_full_s = t;
        if (m.status == umb_swung_away)
            r.t_status_s = t;
        r.left_range |= m.state < 0.0 || m.state > 1.0;
        status = m.status;
        state = m.state;
    }
    return r;
}

}  // namespace

TEST(UmbilicalMotion, ArmsTurnInOneSecondAndTheTravelEndsExactlyAtOneAfterFour) {
    for (double dt : {0.02, 0.03, 0.1, 0.7, 3.0}) {
        SCOPED_TRACE(dt);
        run r = swing_away(dt);
        // The frame that crosses a mark is the one ending at or after it.
        EXPECT_GE(r.t_quarter_s, 1.0 - 1e-9);
        EXPECT_LT(r.t_quarter_s, 1.0 + dt);
        EXPECT_GE(r.t_full_s, 4.0 - 1e-9);
        EXPECT_LT(r.t_full_s, 4.0 + dt);
        EXPECT_DOUBLE_EQ(r.t_status_s, r.t_full_s + dt);  // the frame after reaching 1
        EXPECT_FALSE(r.left_range);
    }
}

TEST(UmbilicalMotion, StepsStopExactlyAtTheEndsAndTheStatusFollowsOnTheNextFrame) {
    struct Case {
        int status;
        double state, dt;
        umbilical_motion expected;
    };
    const Case cases[] = {
        {umb_swinging_away, 0.99, 0.1, {umb_swinging_away, 1.0, true}},  // overshoot: capped
        {umb_swinging_away, 0.975, 0.1, {umb_swinging_away, 1.0, true}},
        {umb_swinging_away, 1.0, 0.1, {umb_swung_away, 1.0, true}},  // the next frame
        {umb_to_rocket, 0.01, 0.1, {umb_to_rocket, 0.0, true}},
        {umb_to_rocket, 0.0, 0.1, {umb_at_rocket, 0.0, true}},
        {umb_to_rocket, 0.5, 0.4, {umb_to_rocket, 0.4, true}},
        {5, 0.5, 0.4, {5, 0.6, true}},  // above 3 moves like 3
        {7, 1.0, 0.4, {umb_swung_away, 1.0, true}},
        {umb_at_rocket, 0.3, 0.4, {umb_at_rocket, 0.3, false}},  // resting: nothing
        {umb_swung_away, 0.3, 0.4, {umb_swung_away, 0.3, false}},
        {-4, 0.3, 0.4, {-4, 0.3, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.status << " " << c.state << " " << c.dt);
        umbilical_motion m = advance_umbilical(c.status, c.state, c.dt);
        EXPECT_EQ(m.status, c.expected.status);
        EXPECT_NEAR(m.state, c.expected.state, 1e-12);
        EXPECT_EQ(m.moved, c.expected.moved);
    }
    // The stops are exact values, not sums that come close.
    EXPECT_EQ(advance_umbilical(umb_swinging_away, 0.99, 0.1).state, 1.0);
    EXPECT_EQ(advance_umbilical(umb_to_rocket, 0.01, 0.1).state, 0.0);
}

TEST(UmbilicalMotion, ReversalStartsARestingOrReturningUmbilicalAwayAndAnyOtherBack) {
    const int cases[][2] = {{0, 3}, {2, 3}, {1, 2}, {3, 2}, {7, 2}, {5, 2}, {-1, 2}};
    for (const auto& c : cases) EXPECT_EQ(reverted_umbilical_status(c[0]), c[1]) << c[0];
}

TEST_F(PadTest, PostStepPosesTheAnimationOnlyWhileTheUmbilicalMoves) {
    sim::Vessel* v = add_pad();
    b_tvm58& pad = pad_of(v);
    v->trace.enabled = true;
    for (int status : {umb_at_rocket, umb_swung_away}) {
        pad.umb_status = status;
        pad.clbkPostStep(0, 0.1, 0);
    }
    EXPECT_TRUE(v->trace.entries.empty());

    pad.umb_status = 5;  // from an edited scenario: moves towards 1
    pad.umb_state = 0.5;
    for (int i = 0; i < 8; ++i) pad.clbkPostStep(0, 0.5, 0);
    EXPECT_EQ(pad.umb_status, umb_swung_away);
    EXPECT_EQ(v->animation(pad.anim_umb)->state, 1.0);
    auto calls = v->trace.of("SetAnimation");
    ASSERT_EQ(calls.size(), 5u);  // 4 frames to 1, one more to rest
    EXPECT_EQ(calls.front().args, std::to_string(pad.anim_umb) + ", 0.625");
    EXPECT_EQ(calls.back().args, std::to_string(pad.anim_umb) + ", 1");
}

TEST_F(PadTest, PadsShareTheirArmRotationsAndAnimateIndependently) {
    sim::Vessel* a = add_pad("A");
    sim::Vessel* b = add_pad("B");
    const auto& ca = a->animation(pad_of(a).anim_umb)->components;
    const auto& cb = b->animation(pad_of(b).anim_umb)->components;
    ASSERT_EQ(ca.size(), 3u);
    ASSERT_EQ(cb.size(), 3u);
    const UINT groups[] = {25, 26, 27};
    const double z[] = {39.451, 50.725, 57.53};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ca[i]->transform, cb[i]->transform);  // one description for both
        EXPECT_EQ(ca[i]->state0, 0.0);
        EXPECT_EQ(ca[i]->state1, 0.25);
        const auto* r = static_cast<const MGROUP_ROTATE*>(ca[i]->transform);
        ASSERT_EQ(r->ngrp, 1u);
        EXPECT_EQ(r->grp[0], groups[i]);
        EXPECT_EQ(r->ref.z, z[i]);
        EXPECT_EQ(r->angle, static_cast<float>(-M_PI / 2));
        EXPECT_NEAR(std::atan2(-r->axis.x, r->axis.y) * 180 / M_PI, 10.0, 1e-3);
    }
    pad_of(a).umb_status = umb_swinging_away;
    frame(a, 1.0);
    EXPECT_EQ(a->animation(pad_of(a).anim_umb)->state, 0.25);
    EXPECT_EQ(b->animation(pad_of(b).anim_umb)->state, 0.0);
}
