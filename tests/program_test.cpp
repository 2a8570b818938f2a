// The vesselsim program: exit statuses and messages, a run's events, telemetry and save, the
// end of a run without --until, and keys that reach the focus vessel with their modifiers.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "apps/run/command.h"
#include "apps/run/options.h"
#include "apps/run/telemetry.h"
#include "host/keys.h"
#include "sim/scenario.h"
#include "support/program_outcome.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// Files of one test process (ctest runs tests side by side), removed when it ends.
struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles() {
        for (const auto& p : paths) std::remove(p.c_str());
    }
} temp_files;

std::string temp_path(const std::string& name) {
    std::string path =
        ::testing::TempDir() + "program_test_" + std::to_string(getpid()) + "_" + name;
    temp_files.paths.push_back(path);
    return path;
}

Outcome vesselsim(const std::vector<std::string>& args) {
    std::string cmd = VESSELSIM_PROGRAM;
    for (const auto& a : args) cmd += " '" + a + "'";
    std::string out = temp_path("stdout"), err = temp_path("stderr");
    cmd += " >" + out + " 2>" + err;
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out), read_file(err)};
}

std::string write_scenario(const std::string& name, const std::string& text) {
    std::string path = temp_path(name);
    std::ofstream(path) << text;
    return path;
}

}  // namespace

TEST(Program, UsageErrorsExitWithTwoAndTheUsageLine) {
    std::string scn = write_scenario("falling.scn", kFalling);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"walk", scn},
        {"run"},
        {"run", scn, "--bogus"},
        {"run", scn, "extra"},
        {"run", scn, "--dt", "0"},
        {"run", scn, "--dt", "-0.5"},
        {"run", scn, "--time-accel", "0"},
        {"run", scn, "--until", "-1"},
        {"run", scn, "--key", "5"},
        {"run", scn, "--key", "x:P"},
        {"run", scn, "--key", "-1:P"},
        {"run", scn, "--key", "5:Hyper+Q"},
        {"run", scn, "--dt", "0.2"},
        {"run", scn, "--hud-size", "800x600"},
        {"run", scn, "--hud", "h.png", "--hud-size", "800"},
        {"run", scn, "--hud", "h.png", "--hud-size", "0x600"},
        // The clock must be able to advance, and a run must end.
        {"run", scn, "--dt", "0.0009"},
        {"run", scn, "--dt", "1e-300"},
        {"run", scn, "--dt", "nan"},
        {"run", scn, "--until", "inf"},
        {"run", scn, "--until", "nan"},
        {"run", scn, "--until", "1e17"},
        {"run", scn, "--time-accel", "inf"},
        {"run", scn, "--time-accel", "0.09"},
        {"run", scn, "--time-accel", "10001"},
    };
    for (const auto& args : cases) {
        Outcome r = vesselsim(args);
        std::string shown = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(r.status, 2) << shown;
        auto err = lines_of(r.err);
        ASSERT_EQ(err.size(), 2u) << shown << ": " << r.err;
        EXPECT_EQ(err[0].rfind("vesselsim: ", 0), 0u) << shown;
        EXPECT_EQ(err[1], app::usage_line()) << shown;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
}

TEST(Program, HudSizesAreWidthByHeightInPixelsWithinBounds) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"1024x768", true}, {"1x1", true},     {"16384x16384", true}, {"16385x768", false},
        {"1024x0", false},  {"-5x768", false}, {"1024X768", false},   {"1024x768x2", false},
        {"x768", false},    {"1024x", false},  {"10.5x768", false},   {"", false},
    };
    for (const auto& [text, good] : cases) {
        sim::HudSize size{7, 7};
        EXPECT_EQ(app::parse_hud_size(text, size), good) << text;
        if (!good) {
            EXPECT_EQ(size.width, 7) << text << ": left as it was";
        }
    }
    sim::HudSize size;
    ASSERT_TRUE(app::parse_hud_size("1366x768", size));
    EXPECT_EQ(size.width, 1366);
    EXPECT_EQ(size.height, 768);
}

TEST(Program, TheHudPictureShowsTheFocusVesselAtTheEndAtTheSizeAskedFor) {
    std::string scn = write_scenario(
        "landed_lander.scn",
        "BEGIN_FOCUS\n  Ship QT\nEND_FOCUS\nBEGIN_SHIPS\nQT:quor_tevlan\n  STATUS Landed Mars\n"
        "  POS 10 10\n  AUTP -1\nEND\nEND_SHIPS\n");
    for (const auto& [size_args, width, height] :
         {std::tuple<std::vector<std::string>, int, int>{{}, 1024, 768},
          {{"--hud-size", "800x600"}, 800, 600}}) {
        std::string png = temp_path("hud_" + std::to_string(width) + ".png");
        std::vector<std::string> args = {"run", scn, "--until", "0.1", "--hud", png};
        args.insert(args.end(), size_args.begin(), size_args.end());
        Outcome r = vesselsim(args);
        ASSERT_EQ(r.status, 0) << r.err;
        std::string head = read_file(png).substr(0, 24);
        ASSERT_EQ(head.size(), 24u);
        EXPECT_EQ(head.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        auto be32 = [&](std::size_t i) {
            return static_cast<unsigned char>(head[i]) << 24 |
                   static_cast<unsigned char>(head[i + 1]) << 16 |
                   static_cast<unsigned char>(head[i + 2]) << 8 |
                   static_cast<unsigned char>(head[i + 3]);
        };
        EXPECT_EQ(be32(16), width);
        EXPECT_EQ(be32(20), height);
    }
}

TEST(Program, DescribeShowsAVesselsStateAsItsModuleSavesItAfterEachKey) {
    Outcome lander = vesselsim({"describe", "quor_tevlan", "--key", "Ctrl+G", "--key", "P"});
    ASSERT_EQ(lander.status, 0) << lander.err;
    const std::string fresh =
        "state, as its module saves it\n  ANT 0 0.0000\n  MET 0 0.0000\n  ARM 0 0.0000\n"
        "  LEG 2 1.0000\n  AUTP 0\n  KEYS 0 0 0 0\n  MTHR NULL\n  PUSH 0\n";
    EXPECT_NE(lander.out.find(fresh), std::string::npos) << lander.out;
    EXPECT_NE(lander.out.find("key Ctrl+G: taken\n  ANT 0 0.0000\n  MET 0 0.0000\n  ARM 0 "
                              "0.0000\n  LEG 3 1.0000\n  AUTP 0\n"),
              std::string::npos)
        << lander.out;
    EXPECT_NE(lander.out.find("key P: taken\n  ANT 0 0.0000\n  MET 0 0.0000\n  ARM 0 0.0000\n  "
                              "LEG 3 1.0000\n  AUTP -1\n"),
              std::string::npos)
        << lander.out;
    EXPECT_EQ(lander.out.find("STATUS"), std::string::npos) << "no standard lines";

    Outcome carrier = vesselsim({"describe", "carrier"});
    ASSERT_EQ(carrier.status, 0) << carrier.err;
    EXPECT_NE(carrier.out.find("state, as its module saves it\n  CHUTE 0 0.000000\n"),
              std::string::npos)
        << carrier.out;

    // The pad's four mast beacons, each where and how the module set it.
    Outcome pad = vesselsim({"describe", "b_tvm58"});
    ASSERT_EQ(pad.status, 0) << pad.err;
    EXPECT_NE(pad.out.find("  beacon 3 at ("), std::string::npos) << pad.out;
    EXPECT_NE(pad.out.find(", colour (1, 0, 0), size 0.5 m, flashing 0.1 s every 4 s, on\n"),
              std::string::npos)
        << pad.out;
}

TEST(Program, FrameLengthAndTimeAccelerationAtTheirLimitsRun) {
    std::string scn = write_scenario(
        "landed_limits.scn",
        "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    struct Case {
        std::vector<std::string> args;
        const char* summary;
    };
    const Case cases[] = {
        {{"--dt", "0.001", "--until", "0.003"}, "simulated 0.00 s in 3 frames"},
        {{"--dt", "0.1", "--time-accel", "0.1", "--until", "0.03"}, "simulated 0.03 s in 3 frames"},
        {{"--dt", "0.001", "--time-accel", "10000", "--until", "30"},
         "simulated 30.00 s in 3 frames"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"run", scn};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Outcome r = vesselsim(args);
        EXPECT_EQ(r.status, 0) << c.summary << r.err;
        EXPECT_NE(r.out.find(c.summary), std::string::npos) << r.out;
    }
}

// Outputs are checked before anything is opened: the scenario and the other outputs stay whole.
TEST(Program, OutputsThatWouldTouchTheInputOrEachOtherAreUsageErrors) {
    const std::string text = kFalling;
    std::string scn = write_scenario("input.scn", text);
    std::string log_named = write_scenario("input.log", text);  // where the log would go
    std::string csv = temp_path("out.csv"), save = temp_path("out.scn");
    std::string hard_link = temp_path("hard_link.csv"), sym_link = temp_path("sym_link.scn");
    std::remove(hard_link.c_str());
    std::remove(sym_link.c_str());
    ASSERT_EQ(link(scn.c_str(), hard_link.c_str()), 0);
    ASSERT_EQ(symlink(save.c_str(), sym_link.c_str()), 0);
    std::string dir = ::testing::TempDir();
    std::string dotted = dir + "/./" + scn.substr(dir.size());  // the input by another name
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"run", scn, "--telemetry", scn}, "--telemetry " + scn + ": would overwrite the scenario"},
        {{"run", scn, "--save", scn}, "--save " + scn + ": would overwrite the scenario it reads"},
        {{"run", scn, "--plot", scn}, "--plot " + scn + ": would overwrite the scenario"},
        {{"run", scn, "--telemetry", hard_link}, "--telemetry " + hard_link + ": would overwrite"},
        {{"run", scn, "--telemetry", dotted}, "--telemetry " + dotted + ": would overwrite"},
        {{"run", log_named, "--telemetry", temp_path("input.csv")},
         "the log " + log_named + ": would overwrite"},
        {{"run", scn, "--telemetry", csv, "--save", csv},
         "--save " + csv + ": the same file as --telemetry " + csv},
        {{"run", scn, "--telemetry", csv, "--plot", csv}, "--plot " + csv + ": the same file as"},
        {{"run", scn, "--save", temp_path("out.log")},
         "the log " + temp_path("out.log") + ": the "},
        {{"run", scn, "--save", sym_link}, "--save " + sym_link + ": not a regular file"},
        {{"run", scn, "--save", "/dev/null"}, "--save /dev/null: not a regular file"},
        {{"run", scn, "--replay", scn}, "--replay " + scn + ": would overwrite the scenario"},
        {{"run", scn, "--save", csv, "--replay", csv},
         "--replay " + csv + ": the same file as --save " + csv},
    };
    for (const Case& c : cases) {
        Outcome r = vesselsim(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err.rfind("vesselsim: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(read_file(scn), text) << c.message;
        EXPECT_EQ(read_file(log_named), text) << c.message;
        EXPECT_FALSE(std::ifstream(csv).good()) << c.message;
    }
    struct stat st {};
    ASSERT_EQ(lstat(sym_link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_FALSE(std::ifstream(save).good());
}

TEST(Program, TelemetryThatCannotBeWrittenStopsTheRunWithTheReason) {
    std::string scn = write_scenario("full.scn", kFalling);
    Outcome r = vesselsim({"run", scn, "--telemetry", "/dev/full", "--until", "100"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vesselsim: writing telemetry /dev/full failed: No space left on device\n");
    EXPECT_EQ(r.out.find("summary"), std::string::npos) << "the run stops at the failed write";
}

TEST(Program, TheLogIsOpenedOnceTheScenarioHasBeenReadAndKeepsItsWarnings) {
    std::string good =
        write_scenario("warned.scn",
                       "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 10 10\n  ODD 1\nEND\n"
                       "END_SHIPS\n");
    std::string bad = write_scenario("unread.scn", "BEGIN_SHIPS\nC:carrier\nEND_SHIPS\n");
    std::string good_csv = temp_path("warned.csv"), bad_csv = temp_path("unread.csv");
    std::string good_log = temp_path("warned.log"), bad_log = temp_path("unread.log");
    std::remove(bad_log.c_str());
    EXPECT_EQ(vesselsim({"run", bad, "--telemetry", bad_csv}).status, 1);
    EXPECT_FALSE(std::ifstream(bad_log).good()) << "a scenario that cannot be read leaves no log";
    Outcome r = vesselsim({"run", good, "--telemetry", good_csv, "--until", "0.1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read_file(good_log).find("warning: " + good + ":5: C: unknown line: ODD 1\n"),
              std::string::npos)
        << read_file(good_log);
}

TEST(Program, HelpListsEveryCommand) {
    Outcome r = vesselsim({"--help"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* command : {"run", "describe", "montecarlo", "montecarlo-merge"}) {
        EXPECT_NE(r.out.find("usage: vesselsim " + std::string(command) + " "), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("\n  " + std::string(command) + " "), std::string::npos) << r.out;
    }
    EXPECT_NE(r.out.find("\n  --version "), std::string::npos) << r.out;
    Outcome unknown = vesselsim({"walk"});
    EXPECT_NE(unknown.err.find("(the commands are run, describe, montecarlo, montecarlo-merge)"),
              std::string::npos)
        << unknown.err;
}

TEST(Program, ScenarioAndModuleErrorsExitWithOneAndOneLine) {
    std::string bad_class =
        write_scenario("bad_class.scn", "BEGIN_SHIPS\nX:no_such_class\nEND\nEND_SHIPS\n");
    std::string save = temp_path("never_saved.scn");
    std::remove(save.c_str());
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"run", temp_path("missing.scn")},
         "vesselsim: " + temp_path("missing.scn") + ": cannot read the file"},
        {{"run", bad_class, "--save", save},
         "vesselsim: " + bad_class + ":2: cannot create vessel X of class no_such_class"},
        {{"run", bad_class, "--modules", "/nowhere"},
         "vesselsim: --modules /nowhere: no such folder"},
    };
    for (const auto& [args, message] : cases) {
        Outcome r = vesselsim(args);
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
        EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    }
    EXPECT_FALSE(std::ifstream(save).good()) << "a failed run saves nothing";
}

TEST(Program, ARunPrintsItsEventsWritesTelemetryAndASaveThatReadsBack) {
    std::string scn = write_scenario("falling.scn", kFalling);
    std::string csv = temp_path("run.csv"), save = temp_path("run_saved.scn"),
                png = temp_path("run.png");
    Outcome r = vesselsim({"run", scn, "--until", "1.01", "--key", "0.1:K", "--telemetry", csv,
                           "--save", save, "--plot", png});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_NE(r.out.find("     0.10  key K pressed on Carrier\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("     0.12  Carrier animation 0 moving from 0.000\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("summary: reached --until\n  simulated 1.01 s in 51 frames"),
              std::string::npos)
        << r.out;

    // A header and one row per frame and vessel, the last frame shortened to end at 1.01 s.
    auto rows = lines_of(read_file(csv));
    ASSERT_EQ(rows.size(), 1u + 52u);
    EXPECT_EQ(rows[0], app::Telemetry::header());
    EXPECT_EQ(rows.back().rfind("1.010,Carrier,", 0), 0u) << rows.back();
    // 17 columns, then the level of each of the 14 thruster groups (empty where none is defined).
    for (const auto& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), ','), 30) << row;
    EXPECT_TRUE(std::ifstream(temp_path("run.log")).good()) << "the log sits beside the telemetry";
    EXPECT_EQ(read_file(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8))
        << "the plot is a PNG image";

    // The saved state goes on from where the run stopped: the parachute is opening.
    std::string text = read_file(save);
    EXPECT_NE(text.find("  SimTime 1.01"), std::string::npos) << text;
    EXPECT_NE(text.find("  CHUTE 1 0.4"), std::string::npos) << text;
    Outcome again = vesselsim({"run", save, "--until", "1.5"});
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST(Program, WithoutUntilARunEndsOnceEveryVesselHasRestedTenSeconds) {
    std::string scn = write_scenario(
        "landed.scn",
        "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    Outcome r = vesselsim({"run", scn, "--dt", "0.1", "--time-accel", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("summary: every vessel rested on the ground for 10 s\n  simulated 10.00 s "
                         "in 50 frames"),
              std::string::npos)
        << r.out;
}

TEST(Program, WithoutUntilARunEndsOnlyOnceEveryAnimationHasStoppedToo) {
    // The antenna, sent out at 1 s, takes 20 s: the run outlasts the lander's 10 s of rest.
    std::string scn = write_scenario(
        "antenna.scn",
        "BEGIN_SHIPS\nT:quor_tevlan\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    std::string save = temp_path("antenna_end.scn");
    Outcome r = vesselsim({"run", scn, "--dt", "0.1", "--key", "1:Ctrl+J", "--save", save});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t at =
        r.out.find("summary: every vessel rested on the ground for 10 s\n  simulated ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const double end_s = std::stod(r.out.substr(r.out.find("simulated ", at) + 10));
    EXPECT_GE(end_s, 21.0);
    EXPECT_LE(end_s, 21.5);
    EXPECT_NE(read_file(save).find("ANT 2 1.0000"), std::string::npos) << read_file(save);
}

TEST(Program, AReplayWithoutItsViewerFailsWithTheReasonAndWritesNoPage) {
    std::string scn = write_scenario("viewerless.scn", kFalling);
    std::string page = temp_path("viewerless.html");
    setenv("VESSELSIM_VIEWER", "/nonexistent/replay-viewer.js", 1);
    Outcome r = vesselsim({"run", scn, "--until", "0.1", "--replay", page});
    unsetenv("VESSELSIM_VIEWER");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("vesselsim: the replay viewer /nonexistent/replay-viewer.js cannot be "
                         "read"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::ifstream(page).good());
}

TEST(Program, FramesLongerThanATenthOfASecondAreWarnedAbout) {
    std::string scn = write_scenario(
        "accel.scn", "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    // 0.02 s x 5 is exactly the longest frame modules steer well by; x 5.5 is longer.
    Outcome at = vesselsim({"run", scn, "--until", "1", "--time-accel", "5"});
    ASSERT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(at.err.find("warning: frames"), std::string::npos) << at.err;
    Outcome past = vesselsim({"run", scn, "--until", "1", "--time-accel", "5.5"});
    ASSERT_EQ(past.status, 0) << past.err;
    EXPECT_NE(past.err.find("vesselsim: warning: frames of 0.11 s (--dt 0.02 x time acceleration "
                            "5.5): the modules steer only once a frame"),
              std::string::npos)
        << past.err;
}

TEST_F(WorldTest, KeysReachTheFocusVesselWithTheirModifiersHeldPressThenRelease) {
    app::TimedKey k;
    EXPECT_FALSE(app::parse_timed_key("Ctrl+J", k));
    EXPECT_FALSE(app::parse_timed_key("1:", k));
    EXPECT_FALSE(app::parse_timed_key("1:Ctrl+", k));
    EXPECT_FALSE(app::parse_timed_key("nan:P", k));
    EXPECT_FALSE(app::parse_timed_key("1s:P", k));
    ASSERT_TRUE(app::parse_timed_key("12.5:shift+ctrl+j", k));
    EXPECT_DOUBLE_EQ(k.time_s, 12.5);

    struct Seen {
        DWORD key;
        bool down, ctrl, shift, alt, key_held;
    };
    std::vector<Seen> seen;
    register_test_vessel(*world);
    sim::Vessel* v = create("Focus", "test_vessel");
    as_test_vessel(v).on_key = [&](test_vessel&, DWORD key, bool down, char* kstate) {
        seen.push_back({key, down, KEYMOD_CONTROL(kstate), KEYMOD_SHIFT(kstate), KEYMOD_ALT(kstate),
                        KEYDOWN(kstate, key)});
        return 1;
    };
    create("Other", "test_vessel");
    world->set_focus(v);
    ASSERT_TRUE(app::send_key(*world, k));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].key, OAPI_KEY_J);
    EXPECT_TRUE(seen[0].down && seen[0].ctrl && seen[0].shift && !seen[0].alt && seen[0].key_held);
    EXPECT_EQ(seen[1].key, OAPI_KEY_J);
    EXPECT_TRUE(!seen[1].down && seen[1].ctrl && seen[1].shift && !seen[1].key_held);
}

TEST_F(WorldTest, TelemetryRowsDescribeEachVessel) {
    register_test_vessel(*world);
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(600);
        t.CreatePropellantResource(50, 20);
        t.CreateAttachment(true, _V(0, 0, 0.615), _V(0, 0, 1), _V(0.707107, 0.707107, 0), "land");
    });
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(
        *world,
        "BEGIN_SHIPS\nC:carrier\n  STATUS Landed Mars\n  POS 10 10\nEND\n"
        "P:test_vessel\n  STATUS Orbiting Mars\n  ATTACHED 0:0,C\nEND\nEND_SHIPS\n",
        "t.scn", error))
        << error;
    std::string csv = temp_path("rows.csv");
    app::Telemetry t;
    ASSERT_TRUE(t.open(csv, error)) << error;
    ASSERT_TRUE(t.write_rows(*world, error)) << error;
    ASSERT_TRUE(t.close(error)) << error;
    auto rows = lines_of(read_file(csv));
    ASSERT_EQ(rows.size(), 3u);
    // time, vessel, height, vertical, horizontal, airspeed, tilt, rate, mass, propellant,
    // main level, contact, landed, attached to, lng, lat, focus, then the other groups' levels
    // (none defined here); on the ground a vessel turns with Mars, 360 degrees in 88642.66 s
    EXPECT_EQ(rows[1],
              "0.000,C,1.200,0.000,0.000,0.000,0.000,0.0041,1020.000,0.0000,0.0000,1,1,,10.000000,"
              "10.000000,1,,,,,,,,,,,,,,");
    EXPECT_EQ(rows[2],
              "0.000,P,0.185,0.000,0.000,0.000,0.000,0.0041,620.000,20.0000,0.0000,0,0,C,10.000000,"
              "10.000000,0,,,,,,,,,,,,,,");

    // Rows are whole whatever the length of the names: a parent and a child named at length.
    std::string parent(700, 'N'), child = "a\"quoted\"," + std::string(900, 'c');
    ASSERT_TRUE(sim::load_scenario_text(
        *world,
        "BEGIN_SHIPS\n" + parent + ":carrier\n  STATUS Landed Mars\n  POS 1 1\nEND\n" + child +
            ":test_vessel\n  STATUS Orbiting Mars\n  "
            "ATTACHED 0:0," +
            parent + "\nEND\nEND_SHIPS\n",
        "long.scn", error))
        << error;
    std::string row = app::Telemetry::row(*world, *world->vessel(child));
    EXPECT_EQ(row.rfind("0.000,\"a\"\"quoted\"\"," + std::string(900, 'c') + "\",", 0), 0u)
        << row.substr(0, 40);
    EXPECT_NE(row.find("," + parent + ",1.000000,1.000000,0"), std::string::npos);
    EXPECT_EQ(row.find('\n'), std::string::npos);
}
