// A hanging child's loads act where the child is during the whole frame, not where it was at
// the start: a thrust whose line passes through the parent's centre turns nothing, however fast
// the pair moves sideways.
#include "sim/attachments.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

TEST_F(WorldTest, ThrustOfAHangingChildThroughTheParentsCentreTurnsNothingAtSpeed) {
    register_test_vessel(*world);
    world->body("Mars")->atmosphere.density0_kg_m3 = 0.0;
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(500);
        t.CreateAttachment(false, _V(0, 0, -2), _V(0, 0, -1), _V(0, 1, 0), "child");
    });
    sim::Vessel* parent = create("Parent", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(300);
        PROPELLANT_HANDLE tank = t.CreatePropellantResource(50);
        THRUSTER_HANDLE up = t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 2000, tank, 3000);
        t.SetThrusterLevel(up, 1.0);
        t.CreateAttachment(true, _V(0, 0, 0), _V(0, 0, 1), _V(0, 1, 0), "parent");
    });
    sim::Vessel* child = create("Child", "test_vessel");
    // 5 km up, +z up, moving east at 200 m/s relative to the ground.
    place_above_mars(*world, *parent, 5000.0, {0, 0, 200});
    ASSERT_TRUE(sim::attach(parent->attachment_point(false, 0), child->attachment_point(true, 0)));

    for (int i = 0; i < 100; ++i) world->step(0.02);
    EXPECT_LT(sim::length(parent->state.omega), 1e-9);
    EXPECT_NEAR(sim::length(child->state.rpos - parent->state.rpos), 2.0, 1e-9);
}
