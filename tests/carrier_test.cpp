// The carrier capsule: its keys, and a descent from 10 km with a lander-sized payload that
// checks its parachute brings the pair to the speed the lander separates at.
#include <cmath>
#include <cstdio>

#include "host/keys.h"
#include "sim/frames.h"
#include "sim/keyboard.h"
#include "sim/physics.h"
#include "sim/scenario.h"
#include "support/payload.h"
#include "support/world_fixture.h"

namespace {

const char* kDescentScenario = R"(BEGIN_ENVIRONMENT
  Date MJD 60650.5
END_ENVIRONMENT
BEGIN_SHIPS
Carrier:carrier
  STATUS Orbiting Mars
  GROUND_POS -45.0 22.5 10000
  GROUND_VEL 55 25 -240
  HORIZON_ATT 90 0 0
END
Payload:test_vessel
  STATUS Orbiting Mars
  ATTACHED 0:0,Carrier
END
END_SHIPS
)";

class CarrierTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_payload(&log);
        std::string error;
        ASSERT_TRUE(sim::load_scenario_text(*world, kDescentScenario, "descent.scn", error))
            << error;
        capsule = world->vessel("Carrier");
        payload = world->vessel("Payload");
    }

    double speed(const sim::Vessel& v) const {
        return sim::length(sim::ground_velocity(*world, v));
    }
    double height(const sim::Vessel& v) const { return sim::height_above_ground(*world, v); }

    PayloadLog log;
    sim::Vessel* capsule = nullptr;
    sim::Vessel* payload = nullptr;
};

int key(sim::Vessel* v, DWORD code, bool ctrl = false) {
    sim::KeyPress k;
    k.code = code;
    k.ctrl = ctrl;
    auto state = sim::keyboard_state(k);
    return sim::deliver_key(*v, code, true, state.data());
}

}  // namespace

TEST_F(CarrierTest, KeysOpenTheParachuteDropTheShieldAndShutDownOnlyOnTheGround) {
    const double empty0 = capsule->config.empty_mass_kg;
    const double area0 = capsule->config.cross_sections_m2.z;
    EXPECT_EQ(key(capsule, OAPI_KEY_K, /*ctrl=*/true), 0);  // not the carrier's key
    EXPECT_EQ(key(capsule, OAPI_KEY_U), 0);                 // in flight: ignored
    EXPECT_EQ(key(capsule, OAPI_KEY_K), 1);
    world->step(1.0);
    double half_open = capsule->config.cross_sections_m2.z;
    EXPECT_GT(half_open, area0);
    for (int i = 0; i < 60; ++i) world->step(0.02);
    EXPECT_GT(capsule->config.cross_sections_m2.z, half_open);
    EXPECT_DOUBLE_EQ(capsule->animations.at(0)->state, 1.0);

    EXPECT_EQ(key(capsule, OAPI_KEY_G), 1);
    EXPECT_EQ(key(capsule, OAPI_KEY_G), 1);  // a second G drops nothing more
    EXPECT_DOUBLE_EQ(capsule->config.empty_mass_kg, empty0 - 140.0);
    EXPECT_EQ(capsule->meshes.at(1).visibility, MESHVIS_NEVER);
}

TEST_F(CarrierTest,
       ParachuteBringsCarrierAndLanderToFiftyToSeventyMetresPerSecondNearOnePointFiveKm) {
    double at_6000 = 0.0, at_1500 = 0.0, peak_decel = 0.0, previous = speed(*capsule);
    while (log.separation_height_m < 0.0 && world->clock.t_s < 600.0) {
        world->step(0.02);
        double h = height(*capsule), s = speed(*capsule);
        peak_decel = std::max(peak_decel, (previous - s) / 0.02);
        previous = s;
        if (at_6000 == 0.0 && h < 6000.0)
            at_6000 = s;
        if (at_1500 == 0.0 && h < 1500.0)
            at_1500 = s;
    }
    std::printf(
        "carrier descent: %.1f m/s at 6000 m, %.1f m/s at 1500 m, separation at %.0f m and "
        "%.1f m/s after %.1f s, peak deceleration %.1f m/s^2\n",
        at_6000, at_1500, log.separation_height_m, log.separation_speed_m_s, world->clock.t_s,
        peak_decel);
    EXPECT_GT(at_6000, 200.0);  // still fast when the parachute opens
    EXPECT_GT(at_1500, 50.0);
    EXPECT_LT(at_1500, 70.0);
    EXPECT_GT(log.separation_height_m, 1400.0);
    EXPECT_EQ(payload->parent(), nullptr);
    EXPECT_DOUBLE_EQ(capsule->config.empty_mass_kg, 180.0);

    // Alone under its parachute the capsule comes down and is held on the ground; then U
    // shuts it down and cuts the parachute.
    while (!capsule->state.ground_contact && world->clock.t_s < 600.0) world->step(0.02);
    ASSERT_TRUE(capsule->state.ground_contact);
    std::printf("carrier touchdown: vertical %.1f m/s, horizontal %.1f m/s\n",
                capsule->state.touchdown.vertical_m_s, capsule->state.touchdown.horizontal_m_s);
    for (int i = 0; i < 500; ++i) world->step(0.02);
    EXPECT_LT(speed(*capsule), 0.1);
    EXPECT_EQ(key(capsule, OAPI_KEY_U), 1);
    EXPECT_DOUBLE_EQ(capsule->animations.at(0)->state, 0.0);
}

// "nan" and "inf" are numbers the carrier cannot read: it keeps its values and the lines are
// warned about as unknown.
TEST_F(WorldTest, CarrierLinesWithNumbersThatAreNotFiniteLeaveItsValues) {
    expect_warnings(3);
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world,
                                        "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 0 0\n"
                                        "  CHUTE 2 0.25\n  EMPTYMASS 900\n  CHUTE 1 nan\n"
                                        "  EMPTYMASS inf\n  EMPTYMASS nan\nEND\nEND_SHIPS\n",
                                        "c.scn", error))
        << error;
    std::string text = sim::scenario_text(*world, {});
    EXPECT_NE(text.find("  CHUTE 2 0.250000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  EMPTYMASS 900\n"), std::string::npos) << text;
}
