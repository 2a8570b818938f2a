// The pad in scenario files: its "UMB" line read and written, its tank refilled after loading;
// and the two pad scenarios run end to end by the program's run loop.
#include <sstream>

#include "apps/run/command.h"
#include "sim/scenario.h"
#include "support/pad_fixture.h"

namespace {

std::string pad_scenario(const std::string& pad_lines) {
    return "BEGIN_SHIPS\nPad:b_tvm58\n  STATUS Landed Earth\n  POS -80.6 28.6\n  PRPLEVEL 0:0.2\n" +
           pad_lines + "END\nEND_SHIPS\n";
}

// The value text of a saved line, e.g. "1 1.0000" for "  UMB 1 1.0000".
std::string saved_value(const std::string& text, const std::string& keyword) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        std::size_t at = l.find_first_not_of(' ');
        if (at != std::string::npos && l.compare(at, keyword.size() + 1, keyword + " ") == 0)
            return l.substr(at + keyword.size() + 1);
    }
    return "(none)";
}

double event_time(const std::string& out, const std::string& text) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
        if (l.find(text) != std::string::npos)
            return std::stod(l);
    return -1;
}

int count_of(const std::string& out, const std::string& text) {
    int n = 0;
    for (std::size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++n;
    return n;
}

}  // namespace

TEST_F(PadTest, UmbLineLoadsInAnyCaseShowsAtOnceAndSavesWithFourDecimals) {
    const struct {
        const char* lines;
        int status;
        double state;
        const char* saved;
    } cases[] = {
        {"  umb 3 0.5\n", 3, 0.5, "3 0.5000"},
        {"  UMB 1 0.123456\n", 1, 0.123456, "1 0.1235"},
        {"", 0, 0.0, "0 0.0000"},
        {"  UMB 2 nan\n", 2, 0.0, "2 0.0000"},
        {"  UMBRELLA 1 1\n", 0, 0.0, "0 0.0000"},  // the pad's, unreadable: not the simulator's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        sim::World w(module_dir());
        w.register_builtin_module(
            "b_tvm58", [](OBJHANDLE h, int fmodel) -> VESSEL* { return new b_tvm58(h, fmodel); },
            [](VESSEL* v) { delete static_cast<b_tvm58*>(v); });
        std::string error;
        ASSERT_TRUE(sim::load_scenario_text(w, pad_scenario(c.lines), "pad.scn", error)) << error;
        sim::Vessel* v = w.vessel("Pad");
        EXPECT_EQ(pad_of(v).umb_status, c.status);
        EXPECT_EQ(pad_of(v).umb_state, c.state);
        EXPECT_EQ(v->animation(pad_of(v).anim_umb)->state, c.state);  // before any frame
        EXPECT_EQ(v->propellant_mass_kg(), 750.0);                    // refilled
        EXPECT_EQ(w.warning_count(), 0);
        EXPECT_EQ(saved_value(sim::scenario_text(w, {}), "UMB"), c.saved);
    }
}

TEST(PadScenarios, TheLaunchSwingsTheArmsAwayRunsThePlumesAndTheRocketClimbsAway) {
    app::RunOptions o;
    o.scenario = std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/pad_launch.scn";
    o.until_s = 60.0;
    o.modules_dir = module_dir();
    o.save_path = ::testing::TempDir() + "pad_launch_end_" + std::to_string(getpid()) + ".scn";
    std::ostringstream out, err;
    ASSERT_EQ(app::run(o, out, err), 0) << err.str();
    const std::string text = out.str();

    const double trigger = event_time(text, "Pad launch detected: umbilical status 0 -> 3");
    ASSERT_GT(trigger, 5.0) << text;
    // Event times are frame ends; the trigger's frame ends at trigger.
    const double frame = 0.02, slack = frame + 1e-6;
    EXPECT_LT(event_time(text, "Pad side plume on"), trigger);
    EXPECT_NEAR(event_time(text, "Pad side plume off") - trigger, 3.6, slack);
    EXPECT_NEAR(event_time(text, "Pad pad plume on") - trigger, 2.0, slack);
    EXPECT_NEAR(event_time(text, "Pad pad plume off") - trigger, 3.96, slack);
    EXPECT_NEAR(event_time(text, "Pad umbilical status 3 -> 1") - trigger, 4.0, slack);
    EXPECT_GT(event_time(text, "Rocket lifted off"), trigger);
    EXPECT_EQ(count_of(text, "launch detected"), 1);

    sim::World w(module_dir());
    std::string error;
    ASSERT_TRUE(sim::load_scenario(w, o.save_path, error)) << error;
    std::remove(o.save_path.c_str());
    EXPECT_EQ(pad_of(w.vessel("Pad")).umb_status, umb_swung_away);
    EXPECT_EQ(pad_of(w.vessel("Pad")).umb_state, 1.0);
    const sim::Vessel* rocket = w.vessel("Rocket");
    EXPECT_FALSE(rocket->state.landed);
    EXPECT_GT(sim::length(rocket->state.rpos) - w.body("Earth")->ground_radius_m(), 1000.0);
    EXPECT_GT(sim::dot(rocket->state.rvel, sim::unit(rocket->state.rpos)), 100.0);  // climbing
}

TEST(PadScenarios, ADayAtHighTimeAccelerationSwitchesTheLightsAtDuskAndDawnAndHoldsTheVent) {
    app::RunOptions o;
    o.scenario = std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/pad_day_night.scn";
    o.until_s = 86400.0;
    o.modules_dir = module_dir();
    std::ostringstream out, err;
    ASSERT_EQ(app::run(o, out, err), 0) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(event_time(text, "Pad vent off"), 20.0) << text;  // the first 20 s frame
    EXPECT_EQ(count_of(text, "Pad vent"), 1);
    const double dusk = event_time(text, "Pad light flares on");
    const double dawn = event_time(text, "Pad light flares off");
    EXPECT_EQ(count_of(text, "Pad light flares"), 2) << text;
    EXPECT_GT(dawn - dusk, 8 * 3600.0) << text;  // a December night at 28.6 N, and more
    EXPECT_LT(dawn - dusk, 16 * 3600.0) << text;
    EXPECT_EQ(event_time(text, "Pad spot lights on: 1, 2, 3"), dusk);
    EXPECT_EQ(event_time(text, "Pad beacons on: 1, 2, 3, 4"), dusk);
    EXPECT_EQ(event_time(text, "Pad spot lights off: 1, 2, 3"), dawn);
}
