// Broken scenario files: each kind of fault is reported as "FILE:LINE: what is wrong" on the
// line at fault, and the failed load leaves no vessel behind. Lines nobody knows are warnings
// with their file and line, and the load goes on.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "sim/flight_state.h"
#include "sim/module_calls.h"
#include "sim/scenario.h"
#include "sim/text_file.h"
#include "sim/world.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

struct BrokenCase {
    const char* what;
    const char* text;
    const char* message;  // expected error, after "bad.scn:"
};

// One free vessel block with a tank; lines are numbered from the BEGIN_SHIPS line, 1.
#define SHIP(lines) "BEGIN_SHIPS\nA:test_vessel\n  STATUS Orbiting Mars\n" lines "END\nEND_SHIPS\n"

const BrokenCase kCases[] = {
    {"unknown class", "BEGIN_SHIPS\nA:no_such_class\nEND\nEND_SHIPS\n",
     "2: cannot create vessel A of class no_such_class: no module no_such_class.so in the "
     "module folder "},
    {"malformed position", SHIP("  RPOS 1 2\n"), "4: A: RPOS: expected RPOS x y z (m)"},
    {"number with junk", SHIP("  RVEL 1 2 3x\n  RPOS 4e6 0 0\n"),
     "4: A: RVEL: expected RVEL x y z (m/s)"},
    {"unknown body", "BEGIN_SHIPS\nA:test_vessel\n  STATUS Orbiting Pluto\nEND\nEND_SHIPS\n",
     "3: A: STATUS: unknown body Pluto"},
    {"propellant index", SHIP("  RPOS 4e6 0 0\n  PRPLEVEL 0:0.5 3:1\n"),
     "5: A: PRPLEVEL: no propellant resource 3 (the vessel has 1)"},
    {"propellant level", SHIP("  RPOS 4e6 0 0\n  PRPLEVEL 0:1.5\n"),
     "5: A: PRPLEVEL: level 1.5 outside 0..1"},
    {"attachment text", SHIP("  ATTACHED 0,B\n"),
     "4: A: ATTACHED: expected ATTACHED parent_point:child_point,PARENT"},
    {"vessel block without END",
     "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 0 0\nEND_SHIPS\n",
     "2: vessel block A:test_vessel has no END"},
    {"section without END", "\nBEGIN_ENVIRONMENT\n  Date MJD 51000\n",
     "2: BEGIN_ENVIRONMENT has no END_ENVIRONMENT"},
    {"vessel header", "BEGIN_SHIPS\nA test_vessel\nEND\nEND_SHIPS\n",
     "2: expected a vessel block NAME:CLASS, got 'A test_vessel'"},
    {"line outside sections", "; comment\nSTATUS Landed Mars\n",
     "2: expected BEGIN_<SECTION>, got 'STATUS Landed Mars'"},
    {"date", "BEGIN_ENVIRONMENT\n  Date JD 2451545\nEND_ENVIRONMENT\n",
     "2: expected Date MJD <days, 0..1e+06>"},
    {"wind", "BEGIN_ENVIRONMENT\n  Wind Vulcan 1 2 3\nEND_ENVIRONMENT\n",
     "2: expected Wind BODY east north up (m/s, each within 1000)"},
    {"no position", SHIP(""),
     "2: the vessel has no position: give RPOS, GROUND_POS, or STATUS Landed with POS"},
    {"landed without POS", "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\nEND\nEND_SHIPS\n",
     "3: a landed vessel needs a POS line"},
    {"two placements", SHIP("  RPOS 4e6 0 0\n  GROUND_POS 0 0 100\n"),
     "4: RPOS conflicts with the block's ground-relative placement"},
    {"missing parent", SHIP("  ATTACHED 0:0,B\n"), "4: no vessel named B to attach to"},
    {"parent without the point", SHIP("  ATTACHED 2:0,A\n"),
     "4: A has no attachment point for children with index 2"},
    {"focus", "BEGIN_FOCUS\n  Ship Nobody\nEND_FOCUS\n",
     "2: no vessel named Nobody to take the focus"},

    // Classes come from the modules folder only.
    {"class climbing out", "BEGIN_SHIPS\nA:../test_modules/exit_routine_probe\nEND\nEND_SHIPS\n",
     "2: cannot create vessel A of class ../test_modules/exit_routine_probe: the class name must "
     "name a module in the modules folder"},
    {"class with a path", "BEGIN_SHIPS\nA:/tmp/x\nEND\nEND_SHIPS\n",
     "2: cannot create vessel A of class /tmp/x: the class name"},
    {"class of dots", "BEGIN_SHIPS\nA:..\nEND\nEND_SHIPS\n",
     "2: cannot create vessel A of class ..: the class name"},

    // The clock and the date.
    {"negative start time", "BEGIN_ENVIRONMENT\n  SimTime -0.001\nEND_ENVIRONMENT\n",
     "2: expected SimTime <seconds, 0..1e+09>"},
    {"start time the clock cannot leave", "BEGIN_ENVIRONMENT\n  SimTime 1e17\nEND_ENVIRONMENT\n",
     "2: expected SimTime"},
    {"start time just past the limit",
     "BEGIN_ENVIRONMENT\n  SimTime 1000000000.001\nEND_ENVIRONMENT\n", "2: expected SimTime"},
    {"infinite start time", "BEGIN_ENVIRONMENT\n  SimTime inf\nEND_ENVIRONMENT\n",
     "2: expected SimTime"},
    {"date out of range", "BEGIN_ENVIRONMENT\n  Date MJD 1e300\nEND_ENVIRONMENT\n",
     "2: expected Date MJD <days, 0..1e+06>"},
    {"wind out of range", "BEGIN_ENVIRONMENT\n  Wind Mars 0 1001 0\nEND_ENVIRONMENT\n",
     "2: expected Wind BODY east north up (m/s, each within 1000)"},
    {"ground elevation", "BEGIN_ENVIRONMENT\n  GroundElevation Mars -1e308\nEND_ENVIRONMENT\n",
     "2: expected GroundElevation BODY height_m (within 1e+05)"},

    // Indices at the count, which no vessel has.
    {"propellant index at the count", SHIP("  RPOS 4e6 0 0\n  PRPLEVEL 1:0.5\n"),
     "5: A: PRPLEVEL: no propellant resource 1 (the vessel has 1)"},
    {"thruster index at the count", SHIP("  RPOS 4e6 0 0\n  THLEVEL 0:0.5\n"),
     "5: A: THLEVEL: no thruster 0 (the vessel has 0)"},
    {"largest attachment index", SHIP("  ATTACHED 4294967295:0,A\n"),
     "4: A has no attachment point for children with index 4294967295"},
    {"attachment index beyond 32 bits", SHIP("  ATTACHED 4294967296:0,A\n"),
     "4: A: ATTACHED: expected ATTACHED parent_point:child_point,PARENT"},

    // Values out of range.
    {"position far out", SHIP("  RPOS 1e308 0 0\n"), "4: A: RPOS: x 1e308 outside -1e+12..1e+12 m"},
    {"position at the centre", SHIP("  RPOS 0 0.5 0\n"),
     "4: A: RPOS: the position must be at least 1 m from the body's centre"},
    {"velocity", SHIP("  RPOS 4e6 0 0\n  RVEL 0 0 -1000001\n"),
     "5: A: RVEL: z -1000001 outside -1e+06..1e+06 m/s"},
    {"attitude", SHIP("  RPOS 4e6 0 0\n  AROT 0 360.5 0\n"),
     "5: A: AROT: b 360.5 outside -360..360 degrees"},
    {"rotation", SHIP("  RPOS 4e6 0 0\n  VROT 1e300 0 0\n"),
     "5: A: VROT: x 1e300 outside -36000..36000 degrees/s"},
    {"latitude past the pole",
     "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 10 90.001\nEND\nEND_SHIPS\n",
     "4: A: POS: latitude 90.001 outside -90..90 degrees"},
    {"latitude 1e308",
     "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 10 1e308\nEND\nEND_SHIPS\n",
     "4: A: POS: latitude 1e308 outside -90..90 degrees"},
    {"heading", SHIP("  HEADING -400\n"), "4: A: HEADING: heading -400 outside -360..360 degrees"},
    {"ground latitude", SHIP("  GROUND_POS 0 -91 100\n"),
     "4: A: GROUND_POS: latitude -91 outside -90..90 degrees"},
    {"ground height below the centre", SHIP("  GROUND_POS 0 0 -3400000\n"),
     "4: GROUND_POS: height -3400000 m puts the vessel at or below the centre of Mars"},
    {"ground velocity", SHIP("  GROUND_POS 0 0 100\n  GROUND_VEL inf 0 0\n"),
     "5: A: GROUND_VEL: expected GROUND_VEL east north up (m/s)"},
    {"horizon attitude", SHIP("  GROUND_POS 0 0 100\n  HORIZON_ATT 0 0 1e9\n"),
     "5: A: HORIZON_ATT: heading 1e9 outside -360..360 degrees"},

    // Lines that contradict each other.
    {"landed on the Sun",
     "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Sun\n  POS 0 0\nEND\nEND_SHIPS\n",
     "3: A: STATUS: nothing can stand on Sun"},
    {"landed and attached",
     "BEGIN_SHIPS\nB:test_vessel\n  STATUS Landed Mars\n  POS 0 0\nEND\n"
     "A:test_vessel\n  STATUS Landed Mars\n  POS 0 0\n  ATTACHED 0:0,B\nEND\nEND_SHIPS\n",
     "9: a landed vessel cannot hang on a parent (STATUS Landed)"},
    {"second attachment", SHIP("  ATTACHED 0:0,B\n  ATTACHED 0:0,C\n"),
     "5: A: ATTACHED: a vessel hangs on one parent; it has an ATTACHED line already"},
    {"second focus",
     "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 0 0\nEND\nEND_SHIPS\n"
     "BEGIN_FOCUS\n  Ship A\n  Ship A\nEND_FOCUS\n",
     "9: one vessel has the focus; a Ship line was given already"},
};

class ScenarioErrors : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(100);
            t.CreatePropellantResource(10);
            t.CreateAttachment(false, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "child");
        });
    }
};

}  // namespace

TEST_F(ScenarioErrors, EachFaultIsReportedAtItsLineAndNothingStays) {
    for (const BrokenCase& c : kCases) {
        std::string error;
        EXPECT_FALSE(sim::load_scenario_text(*world, c.text, "bad.scn", error)) << c.what;
        EXPECT_EQ(error.rfind(std::string("bad.scn:") + c.message, 0), 0u)
            << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what;
        EXPECT_TRUE(world->vessels().empty()) << c.what;
    }
    std::string error;
    EXPECT_FALSE(sim::load_scenario(*world, "/no/such/file.scn", error));
    EXPECT_EQ(error, "/no/such/file.scn: cannot read the file: No such file or directory");
    EXPECT_FALSE(sim::load_scenario(*world, VESSELSIM_SOURCE_DIR, error));
    EXPECT_EQ(error, std::string(VESSELSIM_SOURCE_DIR) + ": cannot read the file: it is a folder");
}

TEST_F(ScenarioErrors, ValuesAtTheirLimitsAreTaken) {
    const char* texts[] = {
        "BEGIN_ENVIRONMENT\n  SimTime 1e9\n  Date MJD 0\n  Wind Mars -1000 1000 0\n"
        "  GroundElevation Mars -100000\nEND_ENVIRONMENT\n",
        "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS -360 90\n  HEADING 360\n"
        "  PRPLEVEL 0:1\nEND\nEND_SHIPS\n",
        "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 360 -90\nEND\nEND_SHIPS\n",
        SHIP("  RPOS 1 0 0\n  RVEL -1e6 1e6 0\n  AROT -360 360 0\n  VROT 36000 0 -36000\n"),
        SHIP("  RPOS -1e12 1e12 -1e12\n"),
        SHIP("  GROUND_POS 360 -90 1e12\n  GROUND_VEL 1e6 -1e6 0\n  HORIZON_ATT -360 360 0\n"),
    };
    for (const char* text : texts) {
        std::string error;
        EXPECT_TRUE(sim::load_scenario_text(*world, text, "edge.scn", error)) << text << error;
        for (const auto& v : world->vessels()) EXPECT_TRUE(sim::finite_state(v->state)) << text;
        while (!world->vessels().empty()) world->destroy_vessel(world->vessels().back().get());
    }
}

// Lines that hold only blanks of any kind (vertical tab, form feed...) are skipped everywhere.
TEST_F(ScenarioErrors, LinesOfOddBlanksAreEmptyLines) {
    const char* text =
        "\v\nBEGIN_ENVIRONMENT\n\v\n\f\n  Date\vMJD\f51000\nEND_ENVIRONMENT\f\n"
        "BEGIN_FOCUS\n\f\n\vShip\tA\r\nEND_FOCUS\n"
        "BEGIN_SHIPS\n\v\nA:test_vessel\f\n\v\n  STATUS\vLanded Mars\n\f POS\f10\v20\f\n"
        "\f\nEND\v\nEND_SHIPS\n";
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, text, "blanks.scn", error)) << error;
    EXPECT_DOUBLE_EQ(world->clock.mjd, 51000.0);
    ASSERT_NE(world->vessel("A"), nullptr);
    EXPECT_TRUE(world->vessel("A")->state.landed);
    EXPECT_EQ(world->warning_count(), 0);
}

TEST_F(ScenarioErrors, AClassOutsideTheModulesFolderIsNeverLoaded) {
    int announced = sim::initlib_count();
    std::string error;
    std::string text = "BEGIN_SHIPS\nA:../test_modules/exit_routine_probe\nEND\nEND_SHIPS\n";
    // From the test modules' folder the probe would be found by climbing out and back in.
    sim::World w(test_module_dir());
    EXPECT_FALSE(sim::load_scenario_text(w, text, "climb.scn", error));
    EXPECT_EQ(sim::initlib_count(), announced) << "no library was loaded: " << error;
}

TEST_F(ScenarioErrors, UnknownLinesAndSectionsAreWarnedAboutWithTheirPlace) {
    expect_warnings(3);
    const char* text =
        "BEGIN_CAMERA\n  TARGET A\nEND_CAMERA\n"
        "BEGIN_ENVIRONMENT\n  Context mars\nEND_ENVIRONMENT\n"
        "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 10 20\n  FOO 1 "
        "2\nEND\nEND_SHIPS\n";
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, text, "odd.scn", error)) << error;
    const auto& log = world->log_lines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "warning: odd.scn:1: section CAMERA is not used by the stand-in");
    EXPECT_EQ(log[1], "warning: odd.scn:5: unknown environment line: Context mars");
    EXPECT_EQ(log[2], "warning: odd.scn:11: A: unknown line: FOO 1 2");
    EXPECT_TRUE(world->vessel("A")->state.landed);
}

// The reader's bounds: a file larger than 16 MiB or a line longer than 64 KiB is refused with
// its place, a line just within is read, and a warning quotes only the start of a long line.
TEST_F(ScenarioErrors, FilesAndLinesBeyondTheLimitsAreRefusedAndLongLinesQuotedShort) {
    expect_warnings(1);
    const std::string path = ::testing::TempDir() + "limits_" + std::to_string(getpid()) + ".scn";
    const std::string head = "BEGIN_DESC\n", tail = "\nEND_DESC\n";
    std::string text = head + std::string(sim::kMaxScenarioBytes - head.size() - tail.size(), 'x');
    text += tail;  // 16 MiB to the byte, in one line far too long
    std::ofstream(path) << text;
    std::string error;
    EXPECT_FALSE(sim::load_scenario(*world, path, error));
    EXPECT_EQ(error, path + ":2: a line longer than 65536 characters");
    std::ofstream(path, std::ios::app) << "\n";
    EXPECT_FALSE(sim::load_scenario(*world, path, error));
    EXPECT_EQ(error, path + ": cannot read the file: it is larger than 16 MiB");
    std::remove(path.c_str());

    const std::string longest(sim::kMaxLineBytes, 'y');
    const std::string ships = "BEGIN_SHIPS\nA:test_vessel\n  STATUS Landed Mars\n  POS 1 2\n  ";
    EXPECT_FALSE(sim::load_scenario_text(*world, ships + longest + "z\nEND\nEND_SHIPS\n",
                                         "long.scn", error));
    EXPECT_EQ(error, "long.scn:5: a line longer than 65536 characters");
    ASSERT_TRUE(sim::load_scenario_text(*world, ships + longest.substr(2) + "\nEND\nEND_SHIPS\n",
                                        "long.scn", error))
        << error;
    ASSERT_EQ(world->log_lines().size(), 1u);
    EXPECT_EQ(world->log_lines()[0], "warning: long.scn:5: A: unknown line: " +
                                         std::string(80, 'y') + "... (65534 characters)");
}
