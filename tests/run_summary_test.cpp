// `run --summary FILE.json`: how the run ended and each vessel's state, as a CI job reads it with
// a JSON tool (jq here); written after a run that fails or whose module crashes too.
#include <fstream>
#include <string>

#include "support/program_outcome.h"

namespace {

// jq's verdict on the document: true when the filter holds.
bool holds(const Scratch& s, const std::string& json, const std::string& filter) {
    return shell(s, "jq -e '" + filter + "' " + json).status == 0;
}

}  // namespace

TEST(RunSummary, TellsHowTheRunEndedAndEachVesselsStateAndLines) {
    Scratch s("run_summary");
    const std::string json = s.path("box.json");
    const std::string scn = std::string(VESSELSIM_SOURCE_DIR) + "/examples/hoverbox/hoverbox.scn";
    Outcome r = shell(s, kProgram + " run " + scn + " --modules " + VESSELSIM_EXAMPLES_DIR +
                             " --until 60 --key 30:U --summary " + json);
    ASSERT_EQ(r.status, 0) << r.err;
    const char* checks[] = {
        ".schema == 1 and .ended == \"until\" and .error == null and .exit_status == 0",
        ".sim_time_s == 60 and .simulated_s == 60 and .frames == 3000 and .warnings == 0",
        ".focus == \"Box\" and (.vessels | length) == 1",
        ".vessels[0] | .name == \"Box\" and .class == \"hoverbox\" and .status == \"flying\" and "
        ".parent == null and .body == \"Mars\" and (.module | endswith(\"/hoverbox.so\"))",
        ".vessels[0] | (.height_m - 30 | fabs) < 0.5 and (.vertical_speed_m_s | fabs) < 0.2 and "
        "(.latitude_deg - 22.5 | fabs) < 0.01",
        ".vessels[0] | .tanks == [{\"mass_kg\": .propellant_kg, \"max_kg\": 50}] and "
        ".propellant_kg < 50 and .mass_kg == 150 + .propellant_kg",
        ".vessels[0] | .touchdown == null and .saved_lines == [\"HOLD 30.0\"]",
    };
    for (const char* check : checks)
        EXPECT_TRUE(holds(s, json, check)) << check << "\n" << read_file(json);

    // A run that rests: the landed carrier, with its touchdown figures.
    const std::string falling = write_file(s.path("falling.scn"), kFalling);
    const std::string rested = s.path("rested.json");
    Outcome fall = shell(s, kProgram + " run " + falling + " --summary " + rested);
    ASSERT_EQ(fall.status, 0) << fall.err;
    EXPECT_TRUE(
        holds(s, rested,
              ".ended == \"rested\" and (.vessels[0] | .status == \"landed\" and "
              ".touchdown.vertical_m_s > 0 and (.saved_lines | index(\"SHIELD 1\")) != null)"))
        << read_file(rested);
}

// Written when the run fails, and when a module crashes, with what ended it.
TEST(RunSummary, IsWrittenForARunThatFailsOrCrashes) {
    Scratch s("run_summary");
    const std::string modules = std::string(" --modules ") + VESSELSIM_TEST_MODULE_DIR;
    struct Case {
        const char* class_name;
        int status;
        const char* filter;
    };
    const Case cases[] = {
        {"thrower_step", 1,
         ".ended == \"error\" and .exit_status == 1 and (.error | test(\"clbkPostStep threw\")) "
         "and (.vessels | length) == 1"},
        {"crasher_step", 3,
         ".ended == \"crash\" and .exit_status == 3 and (.error | test(\"clbkPostStep crashed\")) "
         "and .vessels[0].saved_lines == null and .sim_time_s == 0.5"},
        {"no_such_class", 1,
         ".ended == \"error\" and (.error | test(\"no module no_such_class.so\")) and .vessels == "
         "[]"},
    };
    for (const Case& c : cases) {
        const std::string scn =
            write_file(s.path(std::string(c.class_name) + ".scn"),
                       "BEGIN_SHIPS\nT:" + std::string(c.class_name) +
                           "\n  STATUS Orbiting Mars\n  GROUND_POS 0 0 1000\nEND\nEND_SHIPS\n");
        const std::string json = s.path(std::string(c.class_name) + ".json");
        Outcome r = shell(
            s, kProgram + " run " + scn + " --dt 0.1 --until 5" + modules + " --summary " + json);
        EXPECT_EQ(r.status, c.status) << c.class_name << r.err;
        EXPECT_TRUE(holds(s, json, c.filter)) << c.filter << "\n" << read_file(json);
    }
}
