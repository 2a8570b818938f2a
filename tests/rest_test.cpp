// Rest on the ground, as the ground hold, the program's end of a run and the benchmarks all
// judge it: still over the turning surface within 0.02 m/s and 0.002 rad/s, touching the ground
// or held on it, a hanging child resting with its parent.
#include "sim/rest.h"

#include "sim/attachments.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

class RestTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(300);
            t.CreateAttachment(false, _V(0, 0, -1), _V(0, 0, -1), _V(0, 1, 0), "child");
        });
        v = create("V", "test_vessel");
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(50);
            t.CreateAttachment(true, _V(0, 0, 0), _V(0, 0, 1), _V(0, 1, 0), "parent");
        });
        child = create("Child", "test_vessel");
        // On the ground, moving with it: at rest but for what a case adds.
        place_above_mars(*world, *v, 0.5);
        v->state.ground_contact = true;
        v->state.omega = sim::turning_with_ground(*world, *v);
    }

    // Adds a speed over the ground along a general horizontal direction, m/s.
    void slide(double speed_m_s) {
        place_above_mars(*world, *v, 0.5, VECTOR3{0, 0.6, 0.8} * speed_m_s);
        v->state.omega = sim::turning_with_ground(*world, *v);
    }

    sim::Vessel* v = nullptr;
    sim::Vessel* child = nullptr;
};

TEST_F(RestTest, StillOnTheGroundWithinTheSpeedAndTurningLimits) {
    EXPECT_TRUE(sim::resting(*world, *v));

    slide(0.99 * sim::kRestSpeed_m_s);
    EXPECT_TRUE(sim::resting(*world, *v));
    slide(1.01 * sim::kRestSpeed_m_s);
    EXPECT_FALSE(sim::resting(*world, *v)) << "sliding";

    slide(0.0);
    const VECTOR3 axis = sim::unit(VECTOR3{0.3, -0.5, 0.8});
    v->state.omega = sim::turning_with_ground(*world, *v) + axis * (0.99 * sim::kRestRate_rad_s);
    EXPECT_TRUE(sim::resting(*world, *v));
    v->state.omega = sim::turning_with_ground(*world, *v) + axis * (1.01 * sim::kRestRate_rad_s);
    EXPECT_FALSE(sim::resting(*world, *v)) << "turning against the ground";

    // Still over the ground but not on it: hovering is no rest.
    slide(0.0);
    v->state.ground_contact = false;
    EXPECT_FALSE(sim::resting(*world, *v));
    // Held landed, it rests whatever its state says.
    v->state.landed = true;
    v->state.rvel = {0, 0, 0};
    EXPECT_TRUE(sim::resting(*world, *v));
}

TEST_F(RestTest, AHangingChildRestsWithItsParent) {
    ASSERT_TRUE(sim::attach(v->attachment_point(false, 0), child->attachment_point(true, 0)));
    sim::place_attached_child(*world, *child);
    EXPECT_TRUE(sim::resting(*world, *child));
    slide(0.1);
    sim::place_attached_child(*world, *child);
    EXPECT_FALSE(sim::resting(*world, *child));
}

TEST_F(RestTest, TheWatchCountsUnbrokenRestOfEveryVessel) {
    ASSERT_TRUE(sim::attach(v->attachment_point(false, 0), child->attachment_point(true, 0)));
    sim::place_attached_child(*world, *child);
    sim::RestWatch watch;
    for (int i = 0; i < 9; ++i) watch.update(*world, 1.0);
    EXPECT_FALSE(watch.all_rested(*world, 10.0));
    watch.update(*world, 1.0);
    EXPECT_TRUE(watch.all_rested(*world, 10.0));

    // A moment of sliding starts the count again.
    slide(0.1);
    watch.update(*world, 1.0);
    slide(0.0);
    for (int i = 0; i < 9; ++i) watch.update(*world, 1.0);
    EXPECT_FALSE(watch.all_rested(*world, 10.0));
    watch.update(*world, 1.0);
    EXPECT_TRUE(watch.all_rested(*world, 10.0));

    // A vessel that appears has not rested yet.
    set_next_test_vessel_setup([](test_vessel& t) { t.SetEmptyMass(10); });
    sim::Vessel* late = create("Late", "test_vessel");
    place_above_mars(*world, *late, 0.5);
    late->state.landed = true;
    watch.update(*world, 1.0);
    EXPECT_FALSE(watch.all_rested(*world, 10.0));
}

}  // namespace
