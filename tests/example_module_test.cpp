// The example module of examples/, as the tree builds it: it climbs to the height of its own
// scenario line, holds it, moves it by 10 m on key U and saves it.
#include <fstream>
#include <sstream>
#include <string>

#include "support/program_outcome.h"

namespace {

const std::string kExampleModulesOption = std::string(" --modules ") + VESSELSIM_EXAMPLES_DIR;
const std::string kScenario = std::string(VESSELSIM_SOURCE_DIR) + "/examples/hoverbox/hoverbox.scn";

// The telemetry's height at a time, from its "TIME,Box,HEIGHT,..." row.
double height_at(const std::string& csv, const std::string& time) {
    std::istringstream rows(csv);
    for (std::string row; std::getline(rows, row);)
        if (row.rfind(time + ",Box,", 0) == 0)
            return std::stod(row.substr(time.size() + 5));
    return -1.0;
}

}  // namespace

TEST(ExampleModule, HoldsTheHeightOfItsLineMovesItOnKeyUAndSavesIt) {
    Scratch s("example_module");
    const std::string csv = s.path("box.csv"), save = s.path("box.scn");
    Outcome r = shell(s, kProgram + " run " + kScenario + kExampleModulesOption +
                             " --until 60 --key 30:U --telemetry " + csv + " --save " + save);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string rows = read_file(csv);
    EXPECT_NEAR(height_at(rows, "29.000"), 20.0, 0.5) << "holds the HOLD line's 20 m";
    EXPECT_NEAR(height_at(rows, "60.000"), 30.0, 0.5) << "10 m higher after key U";
    EXPECT_NE(read_file(save).find("\n  HOLD 30.0\nEND\n"), std::string::npos) << read_file(save);

    Outcome described = shell(s, kProgram + " describe hoverbox --key U" + kExampleModulesOption);
    ASSERT_EQ(described.status, 0) << described.err;
    EXPECT_NE(described.out.find("state, as its module saves it\n  HOLD 20.0\n"), std::string::npos)
        << described.out;
    EXPECT_NE(described.out.find("key U: taken\n  HOLD 30.0\n"), std::string::npos)
        << described.out;
}
