// Scenario reading at its edges: a vessel placed over the ground exactly 1 m from the centre of
// Mars is taken, a hair closer is refused; a vessel block "NAME:" without its class is refused
// at its line.
#include <cmath>
#include <string>

#include "sim/scenario.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

class ScenarioLimits : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_test_vessel_setup([](test_vessel& t) { t.SetEmptyMass(100); });
    }
};

std::string placed_at(const std::string& height_m) {
    return "BEGIN_SHIPS\nA:test_vessel\n  STATUS Orbiting Mars\n  GROUND_POS 0 0 " + height_m +
           "\nEND\nEND_SHIPS\n";
}

}  // namespace

// Mars's mean radius is 3389.5 km (NASA Mars Fact Sheet); its ground lies there by default.
TEST_F(ScenarioLimits, AVesselOverTheGroundExactlyOneMetreFromTheCentreIsTaken) {
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, placed_at("-3389499"), "edge.scn", error)) << error;
    const sim::Vessel* v = world->vessel("A");
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(std::sqrt(v->state.rpos.x * v->state.rpos.x + v->state.rpos.y * v->state.rpos.y +
                          v->state.rpos.z * v->state.rpos.z),
                1.0, 1e-9);

    sim::World closer(module_dir());
    register_test_vessel(closer);
    EXPECT_FALSE(sim::load_scenario_text(closer, placed_at("-3389499.001"), "bad.scn", error));
    EXPECT_EQ(error,
              "bad.scn:4: GROUND_POS: height -3389499.001 m puts the vessel at or below the "
              "centre of Mars");
}

TEST_F(ScenarioLimits, AVesselBlockWithoutItsClassIsRefusedAtItsLine) {
    for (const char* header : {"A:", "A: "}) {
        SCOPED_TRACE(header);
        std::string error;
        const std::string text = std::string("BEGIN_SHIPS\n") + header +
                                 "\n  STATUS Orbiting Mars\n  RPOS 4e6 0 0\nEND\nEND_SHIPS\n";
        EXPECT_FALSE(sim::load_scenario_text(*world, text, "bad.scn", error));
        EXPECT_EQ(error, "bad.scn:2: expected a vessel block NAME:CLASS, got 'A:'");
        EXPECT_TRUE(world->vessels().empty());
    }
}
