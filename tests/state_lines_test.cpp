// The pad's and the lander's state lines read as the C scan functions read them ("%d", "%lf"),
// compared with the real scan functions over awkward numbers; a value that could not be saved
// and read back exactly (an integer beyond int, a pad state too wide for its buffer) keeps the
// field's previous value; the lander takes every finite number; extremes go round a save; where
// the pad's value starts on its line.
#include "support/state_lines.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "sim/scenario.h"
#include "support/lander_fixture.h"
#include "support/pad_fixture.h"

namespace {

// What "%lf" takes from the front of the text, and how many characters it used.
struct Scanned {
    double value;
    int used;
};
std::optional<Scanned> scan_double(const std::string& text) {
    double x = 0.0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%lf%n", &x, &used) != 1)
        return std::nullopt;
    return Scanned{x, used};
}
// The pad's saved value "%d %0.4f" fits its 256-character buffer.
bool fits_pad_buffer(int status, double x) {
    return std::snprintf(nullptr, 0, "%d %0.4f", status, x) < 256;
}

// Integers as "%d" reads them, one after another into fields, up to the first that cannot be
// read or does not fit an int ("%lld" here, so that no test input overflows the scan itself).
std::vector<int> scan_ints(const std::string& text, std::vector<int> fields) {
    const char* p = text.c_str();
    for (int& f : fields) {
        long long x = 0;
        int used = 0;
        if (std::sscanf(p, "%lld%n", &x, &used) != 1 || x < INT_MIN || x > INT_MAX)
            break;
        f = static_cast<int>(x);
        p += used;
    }
    return fields;
}

// Numbers that the scan function and strtod read differently, or that cannot be saved.
const char* const kAwkwardNumbers[] = {
    "0x",     "0X",       "0x1p3",     "0x.8p1", "0x1p",     "0x1p-", "0xg",       " +5",
    "-",      "+",        "1e",        "1e+",    "1e-2",     "1E5",   ".",         ".5",
    "5.",     "-.5e1",    "nan",       "NAN",    "nan(1)",   "inf",   "-infinity", "infinit",
    "in",     "1e999",    "-1e999",    "1e-400", "9.99e199", "1e200", "-1e200",    "1e300",
    "0.1235", "  \t7.25", "",          "   ",    "x",        "1,5",   "1.5.5",     "00012",
    "+-1",    "1e5x",     "2147483648"};

const char* const kAwkwardIntegers[] = {"0x",          "0x10",
                                        " +5",         "-",
                                        "+",           "2147483647",
                                        "-2147483648", "2147483648",
                                        "-2147483649", "9223372036854775807",
                                        "007",         "1e5",
                                        " -0",         "",
                                        "x",           "+-3",
                                        "12abc",       "\t42",
                                        "3.7",         "--1"};

using LanderLinesTest = LanderTest;

class PadLinesTest : public PadTest {
  protected:
    void SetUp() override {
        PadTest::SetUp();
        world->trace_new_vessels = true;
    }
};

}  // namespace

TEST_F(LanderLinesTest, StatesAndFlagsAreReadExactlyAsTheScanFunctionsReadThem) {
    int n = 0;
    for (const char* number : kAwkwardNumbers) {
        SCOPED_TRACE(std::string("state '") + number + "'");
        sim::Vessel* v = add_lander("QT" + std::to_string(n++));
        read_block(*world, v, {std::string("LEG 3 ") + number});
        const quor_tevlan& l = lander_of(v);
        EXPECT_EQ(l.leg_status, 3);
        auto s = scan_double(number);
        EXPECT_EQ(l.leg_state, s && std::isfinite(s->value) ? s->value : 1.0);
        world->destroy_vessel(v);
    }
    for (const char* number : kAwkwardIntegers) {
        SCOPED_TRACE(std::string("flag '") + number + "'");
        sim::Vessel* v = add_lander("QT" + std::to_string(n++));
        const std::string value = std::string(" ") + number + " 1 1 1";
        read_block(*world, v, {"KEYS" + value, "AUTP" + value});
        const quor_tevlan& l = lander_of(v);
        EXPECT_EQ((std::vector<int>{l.key_g_sent, l.key_j_sent, l.key_k_sent, l.key_u_sent}),
                  scan_ints(value, {0, 0, 0, 0}));
        EXPECT_EQ(l.autopilot_phase, scan_ints(value, {0})[0]);
        world->destroy_vessel(v);
    }
}

TEST(PadLines, TheUmbilicalValueIsReadExactlyAsTheScanFunctionsReadIt) {
    for (const char* number : kAwkwardNumbers) {
        SCOPED_TRACE(std::string("state '") + number + "'");
        int status = 9;
        double state = 0.25;
        read_umbilical_line((std::string(" 3 ") + number).c_str(), status, state);
        EXPECT_EQ(status, 3);
        auto s = scan_double(number);
        EXPECT_EQ(state,
                  s && std::isfinite(s->value) && fits_pad_buffer(3, s->value) ? s->value : 0.25);
    }
    for (const char* number : kAwkwardIntegers) {
        SCOPED_TRACE(std::string("status '") + number + "'");
        const std::string value = std::string(" ") + number + " 0.5";
        int status = 9;
        double state = 0.25;
        read_umbilical_line(value.c_str(), status, state);
        const int expected_status = scan_ints(value, {9})[0];
        EXPECT_EQ(status, expected_status);
        // The state is read from where the status ended, once a status was read.
        double expected_state = 0.25;
        long long x = 0;
        int used = 0;
        if (std::sscanf(value.c_str(), "%lld%n", &x, &used) == 1 && x >= INT_MIN && x <= INT_MAX)
            if (auto s = scan_double(value.substr(static_cast<std::size_t>(used))))
                expected_state = s->value;
        EXPECT_EQ(state, expected_state);
    }
}

TEST_F(LanderLinesTest, ExtremeStatesAndFlagsAreTakenAsReadAndGoRoundASave) {
    sim::Vessel* v = add_lander("Read");
    read_block(*world, v,
               {"ANT 7 1e250", "MET -2147483648 -1.7976931348623157e308",
                "ARM 2147483647 1.7976931348623157e308", "LEG 0 4.9406564584124654e-324",
                "AUTP 2147483647", "KEYS -2147483648 2147483647 1 0", "PUSH -2147483648"});
    const quor_tevlan& l = lander_of(v);
    EXPECT_EQ(l.ant_status, 7);
    EXPECT_EQ(l.ant_state, 1e250);
    EXPECT_EQ(l.met_status, INT_MIN);
    EXPECT_EQ(l.met_state, -DBL_MAX);
    EXPECT_EQ(l.arm_status, INT_MAX);
    EXPECT_EQ(l.arm_state, DBL_MAX);
    EXPECT_EQ(l.leg_state, std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(l.autopilot_phase, INT_MAX);
    EXPECT_EQ(l.key_g_sent, INT_MIN);
    EXPECT_EQ(l.key_j_sent, INT_MAX);
    EXPECT_EQ(l.mother_pushed, INT_MIN);

    // Saved in full (the widest value is 327 characters), then read back into a new lander:
    // every field comes back, the subnormal state as the 0.0000 it was saved as.
    const std::vector<std::string> saved = own_lines(*world, v);
    ASSERT_FALSE(saved.empty());
    char widest[400];
    std::snprintf(widest, sizeof widest, "MET %d %0.4f", INT_MIN, -DBL_MAX);
    EXPECT_EQ(saved[1], widest);
    sim::Vessel* again = add_lander("Again");
    read_block(*world, again, saved);
    const quor_tevlan& a = lander_of(again);
    EXPECT_EQ(a.ant_state, 1e250);
    EXPECT_EQ(a.met_status, INT_MIN);
    EXPECT_EQ(a.met_state, -DBL_MAX);
    EXPECT_EQ(a.arm_state, DBL_MAX);
    EXPECT_EQ(a.leg_state, 0.0);
    EXPECT_EQ(a.autopilot_phase, INT_MAX);
    EXPECT_EQ(a.key_g_sent, INT_MIN);
    EXPECT_EQ(a.key_j_sent, INT_MAX);
    EXPECT_EQ(a.key_k_sent, 1);
    EXPECT_EQ(a.mother_pushed, INT_MIN);
    EXPECT_EQ(own_lines(*world, again), saved);
}

TEST_F(LanderLinesTest, IntegersOneBeyondIntKeepEveryFieldOfTheirLine) {
    sim::Vessel* v = add_lander();
    read_block(
        *world, v,
        {"ANT 2147483648 0.5", "MET -2147483649 0.5", "ARM 2147483647 0.5", "LEG -2147483648 0.5",
         "AUTP -2147483649", "KEYS 1 2147483648 1 1", "PUSH 2147483648"});
    const quor_tevlan& l = lander_of(v);
    EXPECT_EQ(l.ant_status, 0);
    EXPECT_EQ(l.ant_state, 0.0);
    EXPECT_EQ(l.met_status, 0);
    EXPECT_EQ(l.met_state, 0.0);
    EXPECT_EQ(l.arm_status, INT_MAX);
    EXPECT_EQ(l.arm_state, 0.5);
    EXPECT_EQ(l.leg_status, INT_MIN);
    EXPECT_EQ(l.leg_state, 0.5);
    EXPECT_EQ(l.autopilot_phase, 0);
    EXPECT_EQ((std::vector<int>{l.key_g_sent, l.key_j_sent, l.key_k_sent, l.key_u_sent}),
              (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(l.mother_pushed, 0);
}

TEST_F(PadLinesTest, AFieldIsRefusedExactlyWhenItsSavedValueWouldNotFitTheBuffer) {
    struct Case {
        std::vector<std::string> lines;
        int status;
        double state;
    } cases[] = {
        {{"UMB 7 1e210"}, 7, 1e210},
        {{"UMB 7 -1e247"}, 7, -1e247},  // 255 characters: the buffer's last one
        {{"UMB 7 1e248"}, 7, 0.0},      // 256: the state is refused, the status taken
        {{"UMB -2147483648 -1e237"}, INT_MIN, -1e237},  // the widest status: 255
        {{"UMB -2147483648 1e238"}, INT_MIN, 0.0},      // 256
        {{"UMB 2147483647 -1.7976931348623157e308"}, INT_MAX, 0.0},
        {{"UMB 0 1e247", "UMB -2147483648"}, 0, 1e247},  // the status would not fit its state
        {{"UMB 0 1e247", "UMB -2147483648 0.5"}, INT_MIN, 0.5},
        {{"UMB 2147483648 0.5"}, 0, 0.0},  // beyond int: both kept
        {{"UMB -2147483649 0.5"}, 0, 0.0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.back());
        sim::Vessel* v = add_pad("Pad" + std::to_string(n++));
        read_block(*world, v, c.lines);
        EXPECT_EQ(pad_of(v).umb_status, c.status);
        EXPECT_EQ(pad_of(v).umb_state, c.state);

        const std::vector<std::string> saved = own_lines(*world, v);
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_LE(saved[0].size() - 4, 255u) << "the value fits its buffer";
        sim::Vessel* again = add_pad("Again" + std::to_string(n));
        read_block(*world, again, saved);
        EXPECT_EQ(pad_of(again).umb_status, c.status);
        EXPECT_EQ(pad_of(again).umb_state, c.state);
    }
}

TEST_F(PadLinesTest, TheValueStartsRightAfterTheKeywordAndABareKeywordChangesNothing) {
    struct Case {
        std::vector<std::string> lines;
        int status;
        double state;
    } cases[] = {
        {{"UMB3 0.5"}, 3, 0.5}, {{"umb-2 0.75"}, -2, 0.75},       {{"UMB 1 0.25", "UMB"}, 1, 0.25},
        {{"Umb"}, 0, 0.0},      {{"UMB 2 0.5", "umb\t"}, 2, 0.5},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.back());
        sim::Vessel* v = add_pad("Pad" + std::to_string(n++));
        read_block(*world, v, c.lines);
        EXPECT_EQ(pad_of(v).umb_status, c.status);
        EXPECT_EQ(pad_of(v).umb_state, c.state);
        EXPECT_TRUE(v->trace.of("ParseScenarioLineEx").empty()) << "the pad's own lines";
    }
}
