// The lander's scenario lines: what a fresh lander saves, how each kind of line is read (letter
// case, keys that only begin a word, partial and malformed values, names with blanks and plus
// signs, over-long names), a round trip of every field, and the mechanisms posed after loading.
#include <cstring>
#include <functional>
#include <ostream>

#include "sim/scenario.h"
#include "support/lander_fixture.h"
#include "support/state_lines.h"

namespace {

// Every field the lander's lines carry.
struct Persisted {
    int ant_status, met_status, arm_status, leg_status;
    double ant_state, met_state, arm_state, leg_state;
    int autopilot_phase;
    int key_g, key_j, key_k, key_u;
    std::string mother;
    int pushed;

    bool operator==(const Persisted&) const = default;
};

Persisted persisted_of(const quor_tevlan& l) {
    return {l.ant_status, l.met_status, l.arm_status, l.leg_status,      l.ant_state,
            l.met_state,  l.arm_state,  l.leg_state,  l.autopilot_phase, l.key_g_sent,
            l.key_j_sent, l.key_k_sent, l.key_u_sent, l.mother_name,     l.mother_pushed};
}

std::ostream& operator<<(std::ostream& out, const Persisted& p) {
    return out << "ANT " << p.ant_status << " " << p.ant_state << ", MET " << p.met_status << " "
               << p.met_state << ", ARM " << p.arm_status << " " << p.arm_state << ", LEG "
               << p.leg_status << " " << p.leg_state << ", AUTP " << p.autopilot_phase << ", KEYS "
               << p.key_g << p.key_j << p.key_k << p.key_u << ", MTHR '" << p.mother << "', PUSH "
               << p.pushed;
}

const Persisted fresh{0, 0, 0, 2, 0.0, 0.0, 0.0, 1.0, 0, 0, 0, 0, 0, "NULL", 0};

class LanderScenarioStateTest : public LanderTest {
  protected:
    void SetUp() override {
        LanderTest::SetUp();
        world->trace_new_vessels = true;
    }

    // Hands the lines to a lander's clbkReadState as the simulator reads a vessel block.
    void read_lines(sim::Vessel* v, const std::vector<std::string>& lines) {
        read_block(*world, v, lines);
    }

    // The lines the lander handed back to the simulator.
    static std::vector<std::string> handed_back(const sim::Vessel* v) {
        std::vector<std::string> lines;
        for (const auto& e : v->trace.of("ParseScenarioLineEx"))
            lines.push_back(e.args.substr(1, e.args.size() - 2));  // without the quotes
        return lines;
    }

    // The lander's own lines of a save, as "KEY value".
    std::vector<std::string> own_lines(sim::Vessel* v) { return ::own_lines(*world, v); }
};

}  // namespace

TEST_F(LanderScenarioStateTest, AFreshLanderSavesItsEightLinesAfterTheStandardOnes) {
    sim::Vessel* v = add_lander();
    sim::ScenarioWriteBlock block = sim::saved_block(*world, *v);
    EXPECT_EQ(block.standard_first, 0u);
    ASSERT_GT(block.standard_end, 0u);
    EXPECT_EQ(block.items.front().first, "STATUS");
    const std::vector<std::string> expected = {"ANT 0 0.0000", "MET 0 0.0000", "ARM 0 0.0000",
                                               "LEG 2 1.0000", "AUTP 0",       "KEYS 0 0 0 0",
                                               "MTHR NULL",    "PUSH 0"};
    EXPECT_EQ(own_lines(v), expected);
    EXPECT_EQ(block.items.size(), block.standard_end + expected.size());
}

TEST_F(LanderScenarioStateTest, LinesAreReadByKeyWithWhatCannotBeReadKeptAndTheRestHandedBack) {
    const std::string long_name(300, 'x');
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::function<void(Persisted&)> changes;
        std::vector<std::string> handed_back;  // to the simulator, in order
    };
    const Case cases[] = {
        {"keys in any letter case",
         {"ant 1 0.5", "Met 3 0.25", "aRm 2 1", "leg 0 0"},
         [](Persisted& p) {
             p.ant_status = 1, p.ant_state = 0.5, p.met_status = 3, p.met_state = 0.25;
             p.arm_status = 2, p.arm_state = 1.0, p.leg_status = 0, p.leg_state = 0.0;
         },
         {}},
        {"a key that only begins the word: values right after the key's letters",
         {"LEG3 0.5", "KEYS1 1 0 1", "ARMS 2 0.75", "AUTPILOT 1", "PUSHED 1", "MTHRX"},
         [](Persisted& p) {
             p.leg_status = 3, p.leg_state = 0.5;
             p.key_g = 1, p.key_j = 1, p.key_k = 0, p.key_u = 1;
             p.mother = "X";
         },
         {}},
        {"a key alone, or followed by garbage, changes nothing",
         {"LEG", "ANT x 0.5", "KEYS", "AUTP -", "MTHR"},
         [](Persisted&) {},
         {}},
        {"a status without its state",
         {"LEG 3", "MET 1 x"},
         [](Persisted& p) { p.leg_status = 3, p.met_status = 1; },
         {}},
        {"flags read up to the first that cannot be read",
         {"KEYS 1 1", "PUSH 1 x"},
         [](Persisted& p) { p.key_g = 1, p.key_j = 1, p.pushed = 1; },
         {}},
        {"a repeated key overwrites",
         {"AUTP 2", "MTHR First", "AUTP -1", "MTHR Second"},
         [](Persisted& p) { p.autopilot_phase = -1, p.mother = "Second"; },
         {}},
        {"statuses and states taken without range checks",
         {"ARM 7 1.5", "AUTP -3"},
         [](Persisted& p) { p.arm_status = 7, p.arm_state = 1.5, p.autopilot_phase = -3; },
         {}},
        {"a name with one blank",
         {"MTHR Mother+Ship"},
         [](Persisted& p) { p.mother = "Mother Ship"; },
         {}},
        {"a name with two blanks comes back whole",
         {"MTHR Big+Mother+Ship"},
         [](Persisted& p) { p.mother = "Big Mother Ship"; },
         {}},
        {"a plus sign of the name itself turns into a blank",
         {"MTHR Plus+"},
         [](Persisted& p) { p.mother = "Plus "; },
         {}},
        {"a name of exactly 255 characters",
         {"MTHR " + std::string(255, 'n')},
         [](Persisted& p) { p.mother = std::string(255, 'n'); },
         {}},
        {"a longer name is cut to 255 characters",
         {"MTHR " + long_name + " tail"},
         [&](Persisted& p) { p.mother = long_name.substr(0, 255); },
         {}},
        {"a line far longer than any field",
         {"MTHR " + std::string(20000, 'y'), "ANT 1 0." + std::string(5000, '5')},
         [](Persisted& p) {
             p.mother = std::string(255, 'y');
             p.ant_status = 1, p.ant_state = 0.5555555555555556;
         },
         {}},
        {"numbers that are not finite or beyond their type cannot be read",
         {"ANT 1 nan", "MET 2 inf", "ARM 3 -infinity", "LEG 1 1e400", "AUTP 99999999999",
          "KEYS 1 -99999999999 1 1", "PUSH 2147483648"},
         [](Persisted& p) {
             p.ant_status = 1, p.met_status = 2, p.arm_status = 3, p.leg_status = 1;
             p.key_g = 1;
         },
         {}},
        {"other lines go to the simulator unchanged, in order",
         {"STATUS Landed Mars", "ANT 1 0.5", "POS 10 20", "AN 1", ""},
         [](Persisted& p) { p.ant_status = 1, p.ant_state = 0.5; },
         {"STATUS Landed Mars", "POS 10 20", "AN 1", ""}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Vessel* v = add_lander("QT" + std::to_string(n++));
        read_lines(v, c.lines);
        Persisted expected = fresh;
        c.changes(expected);
        EXPECT_EQ(persisted_of(lander_of(v)), expected);
        EXPECT_EQ(handed_back(v), c.handed_back);
    }
    expect_warnings(2);  // the simulator knows neither "AN" nor an empty line
}

TEST_F(LanderScenarioStateTest, EveryFieldSurvivesASaveAndALoadAndSavingLeavesTheNameAlone) {
    sim::Vessel* saved = add_lander("Saved");
    quor_tevlan& s = lander_of(saved);
    s.ant_status = opening, s.ant_state = 0.1234;
    s.met_status = closing, s.met_state = 0.5678;
    s.arm_status = at_rest_open, s.arm_state = 1.0;
    s.leg_status = at_rest_closed, s.leg_state = 0.0;
    s.autopilot_phase = powered_descent;
    s.key_g_sent = 1, s.key_j_sent = 0, s.key_k_sent = 1, s.key_u_sent = 1;
    std::strcpy(s.mother_name, "Big Mother Ship");
    s.mother_pushed = 1;

    std::vector<std::string> lines = own_lines(saved);
    EXPECT_EQ(lines[6], "MTHR Big+Mother+Ship");
    EXPECT_STREQ(s.mother_name, "Big Mother Ship") << "a save does not rewrite the name";
    EXPECT_EQ(own_lines(saved), lines) << "a second save writes the same";

    sim::Vessel* loaded = add_lander("Loaded");
    read_lines(loaded, lines);
    EXPECT_EQ(persisted_of(lander_of(loaded)), persisted_of(s));
}

TEST_F(LanderScenarioStateTest, LoadingPosesTheMechanismsAsLoadedInTheOrderAntennaMastArmGear) {
    sim::Vessel* v = add_lander();
    v->trace.clear();
    read_lines(v, {"LEG 3 0.25", "ARM 1 0.5", "MET 1 0.75", "ANT 1 0.125"});
    const quor_tevlan& l = lander_of(v);
    auto calls = v->trace.of("SetAnimation");
    ASSERT_EQ(calls.size(), 4u);
    const std::pair<UINT, const char*> expected[] = {
        {l.anim_ant, "0.125"}, {l.anim_met, "0.75"}, {l.anim_arm, "0.5"}, {l.anim_leg, "0.25"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].args, std::to_string(expected[i].first) + ", " + expected[i].second);
        EXPECT_EQ(v->animation(expected[i].first)->state, std::stod(expected[i].second));
    }
}
