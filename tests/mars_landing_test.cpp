// The main job end to end: the lander rides its carrier down to Mars and lands itself, from
// 10 km and from the arrival 260 km up.
#include <string>
#include <vector>

#include "lander/quor_tevlan.h"
#include "sim/scenario.h"
#include "support/world_fixture.h"

namespace {

class MarsLandingTest : public WorldTest {
  protected:
    // Loads a scenario of the project and runs it until the lander has rested for a while.
    void fly(const std::string& scenario) {
        world->event_sink = [&](double, const std::string& text) { events.push_back(text); };
        std::string error;
        ASSERT_TRUE(sim::load_scenario(
            *world, std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/" + scenario, error))
            << error;
        lander = world->vessel("Tevlan");
        ASSERT_NE(lander, nullptr);
        double rested_s = 0.0;
        while (world->clock.t_s < 900.0 && rested_s < 5.0) {
            world->step(0.02);
            rested_s = lander->state.landed ? rested_s + 0.02 : 0.0;
        }
    }

    // Index of the first event containing text, or -1.
    int event_index(const std::string& text) const {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i].find(text) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    }

    void expect_soft_landing() {
        ASSERT_TRUE(lander->state.landed) << "the lander did not come to rest on the ground";
        const quor_tevlan& l = *static_cast<quor_tevlan*>(lander->iface);
        EXPECT_EQ(l.autopilot_phase, autopilot_off);
        for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3})
            EXPECT_EQ(lander->iface->GetThrusterLevel(e), 0.0);
        EXPECT_EQ(l.leg_state, 0.0);
        EXPECT_EQ(l.leg_status, at_rest_closed);
        EXPECT_LT(lander->state.touchdown.vertical_m_s, 3.0);
        EXPECT_LT(lander->state.touchdown.horizontal_m_s, 1.0);
        EXPECT_LT(lander->state.touchdown.tilt_deg, 5.0);
        EXPECT_GT(lander->state.touchdown.propellant_kg, 0.0);
        EXPECT_EQ(world->focus(), lander);

        // The sequence as the stand-in saw it, in order.
        const std::vector<std::string> sequence = {"key K to Carrier",
                                                   "key G to Carrier",
                                                   "Tevlan thrusters lit:",
                                                   "key J to Carrier",
                                                   "detach: Tevlan from Carrier",
                                                   "focus: Tevlan",
                                                   "Tevlan thrusters cut:",
                                                   "Tevlan touchdown: vertical "};
        int last = -1;
        for (const auto& step : sequence) {
            int i = event_index(step);
            EXPECT_GT(i, last) << step;
            last = i;
        }
        EXPECT_NE(event_index("main 0.20"), -1) << "engines pre-started at 0.2 while attached";
    }

    std::vector<std::string> events;
    sim::Vessel* lander = nullptr;
};

}  // namespace

TEST_F(MarsLandingTest, FromTenKilometresTheLanderSeparatesAndTouchesDownSoftly) {
    fly("mars_descent.scn");
    expect_soft_landing();
}

TEST_F(MarsLandingTest, FromArrivalTheCarrierIsPushedOnceAndThePairLandsAfterEntry) {
    fly("mars_entry.scn");
    EXPECT_EQ(event_index("Tevlan set the state of Carrier: velocity changed by 0.30 m/s"), 1);
    int pushes = 0;
    for (const auto& e : events) pushes += e.find("set the state of Carrier") != std::string::npos;
    EXPECT_EQ(pushes, 1);
    expect_soft_landing();
}
