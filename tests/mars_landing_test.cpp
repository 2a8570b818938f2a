// The main job end to end: the lander rides its carrier down to Mars and lands itself, from
// 10 km and from the arrival 260 km up; saved on the way and loaded again, it lands the same.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/run/event_text.h"
#include "lander/quor_tevlan.h"
#include "sim/scenario.h"
#include "support/world_fixture.h"

namespace {

class MarsLandingTest : public WorldTest {
  protected:
    // Loads a scenario of the project and runs it until the lander has rested for a while.
    // The state at each of save_at_s goes to saves as scenario text. Fails, with the reason,
    // when the scenario does not load or has no lander: the test asserts on the answer before
    // it looks at the lander.
    ::testing::AssertionResult fly(const std::string& scenario,
                                   const std::vector<double>& save_at_s = {}) {
        std::ifstream in(std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/" + scenario);
        std::stringstream text;
        text << in.rdbuf();
        return fly_text(text.str(), scenario, save_at_s);
    }

    ::testing::AssertionResult fly_text(const std::string& text, const std::string& file,
                                        const std::vector<double>& save_at_s = {}) {
        world->event_sink = [&](double, const sim::Event& e) { events.push_back(words(e)); };
        std::string error;
        sim::ScenarioInfo info;
        if (!sim::load_scenario_text(*world, text, file, error, &info))
            return ::testing::AssertionFailure() << file << " did not load: " << error;
        lander = world->vessel("Tevlan");
        if (!lander)
            return ::testing::AssertionFailure() << file << " has no vessel Tevlan";
        double rested_s = 0.0;
        std::size_t next_save = 0;
        while (world->clock.t_s < 900.0 && rested_s < 5.0) {
            if (next_save < save_at_s.size() && world->clock.t_s >= save_at_s[next_save] - 1e-9) {
                saves.push_back(sim::scenario_text(*world, info));
                ++next_save;
            }
            world->step(0.02);
            rested_s = lander->state.landed ? rested_s + 0.02 : 0.0;
        }
        return ::testing::AssertionSuccess();
    }

    // A new world, as a new run of the program has.
    void restart() {
        lander = nullptr;
        events.clear();
        world.reset();
        world = std::make_unique<sim::World>(module_dir());
    }

    // Index of the first event containing text, or -1.
    int event_index(const std::string& text) const {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i].find(text) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    }

    void expect_soft_landing() {
        EXPECT_TRUE(lander->state.landed) << "the lander did not come to rest on the ground";
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

    app::EventText words;
    std::vector<std::string> events;
    std::vector<std::string> saves;
    sim::Vessel* lander = nullptr;
};

}  // namespace

TEST_F(MarsLandingTest, FromTenKilometresTheLanderSeparatesAndTouchesDownSoftly) {
    ASSERT_TRUE(fly("mars_descent.scn"));
    expect_soft_landing();
}

TEST_F(MarsLandingTest, FromArrivalTheCarrierIsPushedOnceAndThePairLandsAfterEntry) {
    ASSERT_TRUE(fly("mars_entry.scn"));
    EXPECT_EQ(event_index("Tevlan set the state of Carrier: velocity changed by 0.30 m/s"), 1);
    int pushes = 0;
    for (const auto& e : events) pushes += e.find("set the state of Carrier") != std::string::npos;
    EXPECT_EQ(pushes, 1);
    expect_soft_landing();
}

TEST_F(MarsLandingTest, SavedBeforeOrAfterSeparationAndLoadedAgainTheLanderLandsTheSame) {
    const std::vector<double> save_at_s = {30.0, 70.0, 100.0};
    ASSERT_TRUE(fly("mars_descent.scn", save_at_s));
    expect_soft_landing();
    ASSERT_EQ(saves.size(), save_at_s.size());
    const auto uninterrupted = lander->state.touchdown;
    EXPECT_NE(saves[0].find("  AUTP 1\n"), std::string::npos) << "attached descent at the first";
    EXPECT_NE(saves[1].find("  AUTP 2\n"), std::string::npos) << "powered descent at the second";

    const std::vector<std::string> runs = saves;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE("saved at " + std::to_string(save_at_s[i]) + " s");
        restart();
        ASSERT_TRUE(fly_text(runs[i], "saved.scn"));
        ASSERT_TRUE(lander->state.landed);
        const auto& again = lander->state.touchdown;
        EXPECT_NEAR(again.vertical_m_s, uninterrupted.vertical_m_s, 0.2);
        EXPECT_NEAR(again.horizontal_m_s, uninterrupted.horizontal_m_s, 0.2);
        EXPECT_NEAR(again.tilt_deg, uninterrupted.tilt_deg, 1.0);
        EXPECT_NEAR(again.propellant_kg, uninterrupted.propellant_kg, 1.0);
    }
}
