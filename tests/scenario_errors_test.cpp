// Broken scenario files: each kind of fault is reported as "FILE:LINE: what is wrong" on the
// line at fault, and the failed load leaves no vessel behind. Lines nobody knows are warnings
// with their file and line, and the load goes on.
#include "sim/scenario.h"
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
     "2: cannot create vessel A of class no_such_class: cannot load module "},
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
     "2: expected Date MJD <days>"},
    {"wind", "BEGIN_ENVIRONMENT\n  Wind Vulcan 1 2 3\nEND_ENVIRONMENT\n",
     "2: expected Wind BODY east north up (m/s)"},
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
