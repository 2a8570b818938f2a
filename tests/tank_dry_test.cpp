// A tank that held propellant and is found empty after a frame is an event of the run, once per
// time it runs dry; one empty from the start is not.
#include <vector>

#include "apps/run/event_text.h"
#include "sim/attachments.h"
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

// Propellant burns as the thrust it gives: two engines on one tank share what is left of it in
// the step it runs dry, and an engine on a vessel hanging on another burns its own tank.
TEST_F(WorldTest, EnginesBurnWhatTheirTankHoldsWhereverTheyHang) {
    register_test_vessel(*world);
    // 5 g between two engines that would each burn 10 g in a step: 5 N s of impulse in all.
    set_next_test_vessel_setup([](test_vessel& v) {
        v.SetEmptyMass(100.0);
        v.SetSize(1.0);
        PROPELLANT_HANDLE tank = v.CreatePropellantResource(0.005);
        THRUSTER_HANDLE engines[] = {v.CreateThruster({0, 0, 0}, {0, 0, 1}, 1000.0, tank, 1000.0),
                                     v.CreateThruster({0, 0, 0}, {0, 0, 1}, 1000.0, tank, 1000.0)};
        v.CreateThrusterGroup(engines, 2, THGROUP_MAIN);
        v.SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
        v.CreateAttachment(false, {0, 0, 1}, {0, 0, 1}, {0, 1, 0}, "up");
    });
    sim::Vessel* twin_engined = create("Twin", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& v) {
        v.SetEmptyMass(100.0);
        v.SetSize(1.0);
        v.CreateAttachment(false, {0, 0, 1}, {0, 0, 1}, {0, 1, 0}, "up");
    });
    sim::Vessel* coasting = create("Coast", "test_vessel");
    place_above_mars(*world, *twin_engined, 5000.0);
    place_above_mars(*world, *coasting, 5000.0);
    world->finish_creation();
    world->step(0.02);
    const double dv = sim::length(twin_engined->state.rvel - coasting->state.rvel);
    EXPECT_NEAR(dv, 5.0 / 100.0, 0.002);
    EXPECT_EQ(twin_engined->propellant_mass_kg(), 0.0);

    // 1 kg/s from a hanging engine: half a second takes 0.5 kg from its own tank.
    set_next_test_vessel_setup([](test_vessel& v) {
        v.SetEmptyMass(50.0);
        v.SetSize(1.0);
        PROPELLANT_HANDLE tank = v.CreatePropellantResource(10.0);
        THRUSTER_HANDLE engine = v.CreateThruster({0, 0, 0}, {0, 0, 1}, 1000.0, tank, 1000.0);
        v.CreateThrusterGroup(&engine, 1, THGROUP_MAIN);
        v.SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
        v.CreateAttachment(true, {0, 0, 0}, {0, 0, -1}, {0, 1, 0}, "down");
    });
    sim::Vessel* hanging = create("Hanging", "test_vessel");
    ASSERT_TRUE(
        sim::attach(coasting->attachment_point(false, 0), hanging->attachment_point(true, 0)));
    for (int i = 0; i < 25; ++i) world->step(0.02);
    EXPECT_NEAR(hanging->propellant_mass_kg(), 9.5, 1e-6);
}
