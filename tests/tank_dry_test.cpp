// A tank that held propellant and is found empty after a frame is an event of the run, once per
// time it runs dry; one empty from the start is not.
#include <vector>

#include "apps/event_text.h"
#include "sim/vessel.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

TEST_F(WorldTest, ATankThatRunsDryIsAnEventEachTimeItDoes) {
    register_test_vessel(*world);
    PROPELLANT_HANDLE small = nullptr;
    set_next_test_vessel_setup([&](test_vessel& v) {
        v.SetEmptyMass(100.0);
        v.SetSize(1.0);
        v.CreatePropellantResource(10.0, 0.0);  // empty from the start
        small = v.CreatePropellantResource(0.5);
        THRUSTER_HANDLE engine = v.CreateThruster({0, 0, 0}, {0, 0, 1}, 1000.0, small, 1000.0);
        v.CreateThrusterGroup(&engine, 1, THGROUP_MAIN);
        v.SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
    });
    sim::Vessel* v = create("Box", "test_vessel");
    place_above_mars(*world, *v, 5000.0);
    world->finish_creation();
    std::vector<std::string> dry;
    app::EventText words;
    world->event_sink = [&](double, const sim::Event& e) {
        if (std::holds_alternative<sim::event::TankDry>(e))
            dry.push_back(words(e));
    };
    // 1 kg/s: half a second empties it.
    for (int i = 0; i < 50; ++i) world->step(0.02);
    EXPECT_EQ(dry, std::vector<std::string>{"Box tank 1 ran dry"});
    as_test_vessel(v).SetPropellantMass(small, 0.1);
    for (int i = 0; i < 50; ++i) world->step(0.02);
    EXPECT_EQ(dry.size(), 2u) << "refilled, it runs dry again";
}
