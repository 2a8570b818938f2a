// The lander object: defaults of a fresh lander, its four animations as the stand-in records
// them, and the lifetime of several landers side by side.
#include <cmath>
#include <cstring>
#include <numbers>

#include "lander/quor_tevlan.h"
#include "support/lander_access.h"
#include "support/world_fixture.h"

namespace {

struct ExpectedComponent {
    int animation;  // 0 gear, 1 mast, 2 antenna, 3 arm (creation order)
    MGROUP_TRANSFORM::TYPE kind;
    std::vector<UINT> groups;
    double state0, state1;
    int parent;  // index of the parent component, -1 for none
    double angle_deg;
};

const std::vector<ExpectedComponent> expected_components = {
    {0, MGROUP_TRANSFORM::ROTATE, {20}, 0, 1, -1, -59.5},
    {0, MGROUP_TRANSFORM::ROTATE, {11, 13}, 0, 1, -1, -22},
    {0, MGROUP_TRANSFORM::TRANSLATE, {0, 12}, 0, 1, 1, 0},
    {0, MGROUP_TRANSFORM::ROTATE, {21}, 0, 1, -1, 59.5},
    {0, MGROUP_TRANSFORM::ROTATE, {14, 16}, 0, 1, -1, 22},
    {0, MGROUP_TRANSFORM::TRANSLATE, {15, 17}, 0, 1, 4, 0},
    {0, MGROUP_TRANSFORM::ROTATE, {22}, 0, 1, -1, -59.5},
    {0, MGROUP_TRANSFORM::ROTATE, {8, 10}, 0, 1, -1, -22},
    {0, MGROUP_TRANSFORM::TRANSLATE, {9, 18}, 0, 1, 7, 0},
    {1, MGROUP_TRANSFORM::ROTATE, {3}, 0, 1, -1, 90},
    {2, MGROUP_TRANSFORM::ROTATE, {19}, 0, 0.8, -1, -76},
    {2, MGROUP_TRANSFORM::ROTATE, {1}, 0, 0.8, 10, 165},
    {2, MGROUP_TRANSFORM::ROTATE, {6, 7}, 0, 0.8, 11, -90},
    {2, MGROUP_TRANSFORM::ROTATE, {6, 7}, 0.8, 1, -1, -45},
    {3, MGROUP_TRANSFORM::ROTATE, {25, 26, 27, 28, 29, 30, 31}, 0, 0.1, -1, -35},
    {3, MGROUP_TRANSFORM::ROTATE, {25, 26, 27, 28, 29, 30, 31}, 0.1, 0.5, -1, 166},
    {3, MGROUP_TRANSFORM::ROTATE, {25, 26, 27, 28, 29, 30, 31}, 0.5, 0.7, -1, -100},
    {3, MGROUP_TRANSFORM::TRANSLATE, {26, 29}, 0.7, 0.85, -1, 0},
    {3, MGROUP_TRANSFORM::TRANSLATE, {26, 29, 28}, 0.85, 1, -1, 0},
};

}  // namespace

TEST_F(WorldTest, FreshLanderHasItsDefaults) {
    sim::Vessel* v = create("QT", "quor_tevlan");
    ASSERT_NE(v, nullptr);
    const quor_tevlan& l = lander_of(v);
    EXPECT_EQ(l.leg_state, 1.0);
    EXPECT_EQ(l.leg_status, 2);
    for (double s : {l.ant_state, l.arm_state, l.met_state}) EXPECT_EQ(s, 0.0);
    for (int s : {l.ant_status, l.arm_status, l.met_status}) EXPECT_EQ(s, 0);
    EXPECT_EQ(l.autopilot_phase, 0);
    EXPECT_EQ(l.camera_view, 0);
    for (int f : {l.key_g_sent, l.key_j_sent, l.key_k_sent, l.key_u_sent, l.mother_pushed})
        EXPECT_EQ(f, 0);
    EXPECT_STREQ(l.mother_name, "NULL");
    EXPECT_EQ(l.target_dir.x, 0.0);
    EXPECT_EQ(l.target_dir.y, 0.0);
    EXPECT_EQ(l.target_dir.z, 1.0);
    EXPECT_EQ(l.last_step, 0.0);
}

TEST_F(WorldTest, AnimationsAreRecordedComponentByComponent) {
    sim::Vessel* v = create("QT", "quor_tevlan");
    ASSERT_NE(v, nullptr);
    const quor_tevlan& l = lander_of(v);
    ASSERT_EQ(v->animations.size(), 4u);
    EXPECT_EQ(l.anim_leg, 0u);
    EXPECT_EQ(l.anim_met, 1u);
    EXPECT_EQ(l.anim_ant, 2u);
    EXPECT_EQ(l.anim_arm, 3u);
    for (const auto& a : v->animations) EXPECT_EQ(a->default_state, 0.0);

    ASSERT_EQ(v->animation_components.size(), expected_components.size());
    for (std::size_t i = 0; i < expected_components.size(); ++i) {
        SCOPED_TRACE("component " + std::to_string(i));
        const ExpectedComponent& e = expected_components[i];
        const sim::AnimationComponent& c = *v->animation_components[i];
        // Each component is the lander's own object at its index, and sits in its animation.
        EXPECT_EQ(c.transform, l.anim_components[i]);
        const auto& members = v->animations[e.animation]->components;
        EXPECT_NE(std::find(members.begin(), members.end(), &c), members.end());
        EXPECT_EQ(c.state0, e.state0);
        EXPECT_EQ(c.state1, e.state1);
        EXPECT_EQ(c.parent, e.parent < 0 ? nullptr : v->animation_components[e.parent].get());
        ASSERT_EQ(c.transform->Type(), e.kind);
        EXPECT_EQ(c.transform->mesh, 0u);
        EXPECT_EQ(std::vector<UINT>(c.transform->grp, c.transform->grp + c.transform->ngrp),
                  e.groups);
        if (e.kind == MGROUP_TRANSFORM::ROTATE) {
            // Degrees times pi/180 in double precision, then stored in single precision.
            float expected = static_cast<float>(e.angle_deg * (std::numbers::pi / 180.0));
            EXPECT_EQ(static_cast<const MGROUP_ROTATE*>(c.transform)->angle, expected);
        }
    }
    // Components sharing a mesh-group list share the list itself, not a copy.
    EXPECT_EQ(l.anim_components[12]->grp, l.anim_components[13]->grp);
    EXPECT_EQ(l.anim_components[14]->grp, l.anim_components[16]->grp);
    // The third leg's strut axis differs slightly from the other legs'.
    auto axis = [&](int i) {
        return static_cast<const MGROUP_ROTATE*>(l.anim_components[i])->axis;
    };
    EXPECT_EQ(axis(3).x, 0.503334);
    EXPECT_EQ(axis(4).x, 0.503125);
    EXPECT_EQ(static_cast<const MGROUP_TRANSLATE*>(l.anim_components[2])->shift.z, 0.629907);
}

TEST_F(WorldTest, LandersLiveAndDieIndependently) {
    for (bool first_goes_first : {true, false}) {
        SCOPED_TRACE(first_goes_first ? "first destroyed first" : "second destroyed first");
        sim::Vessel* a = create("A", "quor_tevlan");
        sim::Vessel* b = create("B", "quor_tevlan");
        ASSERT_TRUE(a && b);
        sim::Vessel* gone = first_goes_first ? a : b;
        sim::Vessel* kept = first_goes_first ? b : a;
        const UINT* shared_list = lander_of(kept).anim_components[14]->grp;
        world->destroy_vessel(gone);
        // The survivor's components and the shared group lists are intact.
        const quor_tevlan& l = lander_of(kept);
        for (int i = 0; i < animation_component_count; ++i)
            EXPECT_EQ(kept->animation_components[i]->transform, l.anim_components[i]);
        EXPECT_EQ(l.anim_components[14]->grp, shared_list);
        EXPECT_EQ(shared_list[0], 25u);
        EXPECT_EQ(l.anim_components[18]->grp[2], 28u);
        world->destroy_vessel(kept);
        EXPECT_TRUE(world->vessels().empty());
    }
}
