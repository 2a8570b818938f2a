// A hanging child's loads act where the child is during the whole frame, not where it was at
// the start, and reach the parent with the right lever arm whatever the parent's attitude: a
// thrust whose line passes through the pair's centre of mass turns nothing, however fast the
// pair moves sideways.
#include "sim/attachments.h"
#include "sim/frames.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

TEST_F(WorldTest, ThrustOfAHangingChildThroughThePairsCentreTurnsNothingAtAnyAttitude) {
    register_test_vessel(*world);
    world->body("Mars")->atmosphere.density0_kg_m3 = 0.0;
    struct Case {
        const char* name;
        VECTOR3 euler;  // parent attitude relative to +z up
    } cases[] = {{"upright", {0, 0, 0}}, {"general", {0.7, -0.4, 1.2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(500);
            // Off the parent's axes, so that a lever arm turned the wrong way shows.
            t.CreateAttachment(false, _V(0.6, -0.3, -2), _V(0.3, -0.15, -1), _V(0, 1, 0), "child");
        });
        sim::Vessel* parent = create(std::string("Parent ") + c.name, "test_vessel");
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(300);
            PROPELLANT_HANDLE tank = t.CreatePropellantResource(50);
            THRUSTER_HANDLE up = t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 2000, tank, 3000);
            t.SetThrusterLevel(up, 1.0);
            t.CreateAttachment(true, _V(0, 0, 0), _V(0, 0, 1), _V(0, 1, 0), "parent");
        });
        sim::Vessel* child = create(std::string("Child ") + c.name, "test_vessel");
        // 5 km up, moving east at 200 m/s relative to the ground.
        place_above_mars(*world, *parent, 5000.0, {0, 0, 200});
        parent->state.rot = sim::mul(parent->state.rot, sim::rotation_from_euler(c.euler));
        ASSERT_TRUE(
            sim::attach(parent->attachment_point(false, 0), child->attachment_point(true, 0)));
        // The child's thrust points along the line from its origin through the parent's: the
        // pair's centre of mass lies on it.
        VECTOR3 line = sim::mul(child->state.rot, VECTOR3{0, 0, 1});
        VECTOR3 to_parent = sim::unit(parent->state.rpos - child->state.rpos);
        ASSERT_NEAR(sim::dot(line, to_parent), 1.0, 1e-12);

        for (int i = 0; i < 100; ++i) world->step(0.02);
        EXPECT_LT(sim::length(parent->state.omega), 1e-9);
        EXPECT_NEAR(sim::length(child->state.rpos - parent->state.rpos), std::sqrt(4.45), 1e-9);
    }
}
