// What a module writes into a save is checked: a line that would not read back (a line break in
// its value, an item that is not one word, a line past the reader's limit) is refused with one
// warning, and the saved scenario always reads back, with no vessel the module smuggled in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/oapi.h"
#include "sim/scenario.h"
#include "sim/scenario_block.h"
#include "sim/text_file.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

TEST_F(WorldTest, LinesThatWouldNotReadBackAreRefusedAndTheSaveReadsBack) {
    const std::string longest(sim::kMaxLineBytes - 2 - 4 - 1, 'x');  // "  FIT " + value
    register_test_vessel(*world);
    set_next_test_vessel_setup([](test_vessel& v) { v.SetEmptyMass(100); });
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(
        *world, "BEGIN_SHIPS\nV:test_vessel\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n",
        "hostile.scn", error))
        << error;
    as_test_vessel(world->vessel("V")).on_save = [&](test_vessel&, FILEHANDLE scn) {
        oapiWriteScenario_string(scn, "NOTE",
                                 "1\nEND\nGhost:test_vessel\n  STATUS Landed Mars\n  POS -45 22.5");
        oapiWriteScenario_string(scn, nullptr, "1");
        oapiWriteScenario_string(scn, "", "1");
        oapiWriteScenario_string(scn, "TWO WORDS", "1");
        oapiWriteScenario_string(scn, "TAB\tBED", "1");
        oapiWriteScenario_string(scn, "CR", "a\rb");
        oapiWriteScenario_string(scn, "BIG", std::string(70000, 'y').c_str());
        oapiWriteScenario_string(scn, "LONGER", (longest + "zz").c_str());
        oapiWriteScenario_string(scn, "FIT", longest.c_str());
        oapiWriteScenario_string(scn, "BARE", nullptr);
    };
    const sim::ScenarioWriteBlock block = sim::saved_block(*world, *world->vessel("V"));
    std::vector<std::string> own;
    for (std::size_t i = block.standard_end; i < block.items.size(); ++i)
        own.push_back(block.items[i].first);
    EXPECT_EQ(own, (std::vector<std::string>{"FIT", "BARE"}));
    ASSERT_EQ(world->warning_count(), 1) << "once per vessel and operation";
    EXPECT_NE(world->log_lines().back().find(
                  "vessel V (class test_vessel): oapiWriteScenario_string: the value of NOTE "
                  "holds a line break; the line is not written"),
              std::string::npos)
        << world->log_lines().back();

    // The whole save reads back: one vessel, its lines as written.
    const std::string text = sim::scenario_text(*world, {});
    sim::World again(module_dir());
    register_test_vessel(again);
    set_next_test_vessel_setup([](test_vessel& v) { v.SetEmptyMass(100); });
    ASSERT_TRUE(sim::load_scenario_text(again, text, "saved.scn", error)) << error;
    ASSERT_EQ(again.vessels().size(), 1u);
    EXPECT_EQ(again.vessels()[0]->name(), "V");
    expect_warnings(1);
}
