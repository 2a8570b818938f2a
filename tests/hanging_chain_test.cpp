// Vessels hanging on vessels: every walk over what hangs on a vessel reaches each of them once,
// parents first, and a chain as deep as the limit flies while one level more is refused at its
// scenario line.
#include <string>

#include "sim/attachments.h"
#include "sim/mass_properties.h"
#include "sim/physics.h"
#include "sim/scenario.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

// A link of 10 kg with two points for children, 1 m and 2 m along its z axis, and one towards a
// parent at its origin: each child hangs unturned, 1 m (or 2 m) above its parent.
void declare_link(test_vessel& t) {
    t.SetEmptyMass(10);
    t.SetPMI(_V(1, 1, 1));
    t.CreateAttachment(false, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "up");
    t.CreateAttachment(false, _V(0, 0, 2), _V(0, 0, 1), _V(0, 1, 0), "up2");
    t.CreateAttachment(true, _V(0, 0, 0), _V(0, 0, -1), _V(0, 1, 0), "down");
}

// A chain of links V0 (free) to Vn, each on the one before.
std::string chain_scenario(int n) {
    std::string s =
        "BEGIN_SHIPS\nV0:test_vessel\n  STATUS Orbiting Mars\n"
        "  RPOS 3500000 0 0\n  RVEL 0 3500 0\nEND\n";
    for (int i = 1; i <= n; ++i)
        s += "V" + std::to_string(i) + ":test_vessel\n  STATUS Orbiting Mars\n  ATTACHED 0:0,V" +
             std::to_string(i - 1) + "\nEND\n";
    return s + "END_SHIPS\n";
}

}  // namespace

TEST_F(WorldTest, AWalkOverABranchingTreeVisitsParentsFirstAndEachOnce) {
    register_test_vessel(*world);
    set_next_test_vessel_setup(declare_link);
    sim::Vessel* root = create("R", "test_vessel");
    sim::Vessel* a = create("A", "test_vessel");
    sim::Vessel* a1 = create("A1", "test_vessel");
    sim::Vessel* b = create("B", "test_vessel");
    ASSERT_TRUE(sim::attach(root->attachment_point(false, 0), a->attachment_point(true, 0)));
    ASSERT_TRUE(sim::attach(a->attachment_point(false, 1), a1->attachment_point(true, 0)));
    ASSERT_TRUE(sim::attach(root->attachment_point(false, 1), b->attachment_point(true, 0)));
    // A vessel hangs on one parent only, whichever point is free.
    EXPECT_FALSE(sim::attach(b->attachment_point(false, 0), a1->attachment_point(true, 0)));

    std::string order;
    int level = 0;
    for (sim::Vessel* d = sim::next_hanging(*root, *root, &level); d;
         d = sim::next_hanging(*root, *d, &level))
        order += d->name() + "@" + std::to_string(level) + " ";
    EXPECT_EQ(order, "A@1 A1@2 B@1 ");
    EXPECT_EQ(sim::levels_below(*root), 2);
    EXPECT_EQ(sim::levels_below(*a), 1);
    EXPECT_EQ(sim::levels_above(*a1), 2);
    // A walk from a vessel in the middle stays below it.
    EXPECT_EQ(sim::next_hanging(*a, *a1), nullptr);

    // Four links: the mass at 0 and the ones at 1 (A), 3 (A1) and 2 (B) m give the centre at 1.5.
    EXPECT_DOUBLE_EQ(root->mass_kg(), 40.0);
    const sim::MassProperties mp = sim::mass_properties(*root);
    EXPECT_DOUBLE_EQ(mp.mass_kg, 40.0);
    EXPECT_NEAR(mp.centre_m.z, 1.5, 1e-12);
    // About x through the centre: each link's own 10 kg m^2 plus 10 (z - 1.5)^2.
    EXPECT_NEAR(mp.inertia_kg_m2.m11, 40 + 10 * (2.25 + 0.25 + 2.25 + 0.25), 1e-9);
}

TEST_F(WorldTest, AChainAsDeepAsTheLimitFliesAndOneLevelMoreIsRefusedAtItsLine) {
    register_test_vessel(*world);
    set_next_test_vessel_setup(declare_link);
    const int n = sim::kMaxHangingLevels;
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, chain_scenario(n), "deep.scn", error)) << error;
    sim::Vessel* top = world->vessel("V0");
    sim::Vessel* last = world->vessel("V" + std::to_string(n));
    ASSERT_TRUE(top && last);
    EXPECT_EQ(sim::levels_below(*top), n);
    EXPECT_DOUBLE_EQ(top->mass_kg(), 10.0 * (n + 1));
    EXPECT_NEAR(sim::mass_properties(*top).centre_m.z, n / 2.0, 1e-9);

    // The whole chain moves as one: after a second of flight the last link is still n metres
    // along the top one's axis.
    for (int i = 0; i < 50; ++i) sim::advance_motion(*world, 0.02);
    EXPECT_NEAR(sim::relative_place(*top, *last).offset_m.z, n, 1e-6);

    // Hanging one more link under the last is refused, whether by a module or a scenario line.
    sim::Vessel* extra = create("Extra", "test_vessel");
    EXPECT_FALSE(sim::attach(last->attachment_point(false, 0), extra->attachment_point(true, 0)));
    sim::World deeper;
    register_test_vessel(deeper);
    EXPECT_FALSE(sim::load_scenario_text(deeper, chain_scenario(n + 1), "deeper.scn", error));
    const int line = 9 + 4 * n;  // V(n+1)'s ATTACHED line
    EXPECT_EQ(error, "deeper.scn:" + std::to_string(line) + ": hanging V" + std::to_string(n + 1) +
                         " on V" + std::to_string(n) + " would make a chain of more than " +
                         std::to_string(n) + " levels");
}
