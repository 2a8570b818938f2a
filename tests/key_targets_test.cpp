// Keys of `run --key TIME:[VESSEL:]KEY` go to the vessel named, or the focus vessel; --focus sets
// the focus at the start; the run says for each key whether the module took it; the interface's
// key codes are the program's.
#include <fstream>
#include <utility>

#include "apps/run/options.h"
#include "host/keys.h"
#include "sim/keyboard.h"
#include "support/program_outcome.h"

TEST(KeyTargets, AKeyNamesItsVesselBetweenTimeAndKey) {
    struct Case {
        const char* text;
        bool good;
        const char* vessel;
        const char* key;
    };
    const Case cases[] = {
        {"5:U", true, "", "U"},    {"5:Box:Ctrl+U", true, "Box", "Ctrl+U"},
        {"5::U", false, "", ""},   {"5:a:b:U", false, "", ""},
        {"5:Box:", false, "", ""}, {"5:Box:Hyper+U", false, "", ""},
    };
    for (const Case& c : cases) {
        app::TimedKey k;
        EXPECT_EQ(app::parse_timed_key(c.text, k), c.good) << c.text;
        if (c.good) {
            EXPECT_EQ(k.vessel, c.vessel) << c.text;
            EXPECT_EQ(k.text, c.key) << c.text;
        }
    }
}

// The box takes U and leaves P; the carrier leaves Q.
TEST(KeyTargets, KeysGoToTheVesselNamedOrTheFocusAndTheRunSaysWhetherTheyWereTaken) {
    Scratch s("key_targets");
    const std::string scn = s.path("two.scn");
    std::ofstream(scn) << "BEGIN_SHIPS\nCarrier:carrier\n  STATUS Landed Mars\n  POS 10 10\nEND\n"
                          "Box:hoverbox\n  STATUS Landed Mars\n  POS 10 10.01\nEND\nEND_SHIPS\n";
    const std::string run = std::string(VESSELSIM_PROGRAM) + " run " + scn + " --until 2 " +
                            "--modules " + VESSELSIM_EXAMPLES_DIR;
    Outcome r =
        shell(s, run + " --key 0.5:Q --key 1:Box:U --key 1.5:Box:P --save " + s.path("end.scn"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("     0.50  key Q pressed on Carrier\n"
                         "     0.50  key Q not taken by Carrier\n"
                         "     1.00  key U pressed on Box\n"
                         "     1.00  key U taken by Box\n"
                         "     1.50  key P pressed on Box\n"
                         "     1.50  key P not taken by Box\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(read_file(s.path("end.scn")).find("HOLD 30.0"), std::string::npos);

    Outcome focused = shell(s, run + " --focus Box --key 0.5:U");
    ASSERT_EQ(focused.status, 0) << focused.err;
    EXPECT_NE(focused.out.find("     0.00  focus: Box\n"), std::string::npos) << focused.out;
    EXPECT_NE(focused.out.find("     0.50  key U taken by Box\n"), std::string::npos)
        << focused.out;

    for (const std::string option : {" --focus Nobody", " --key 1:Nobody:U"}) {
        Outcome missing = shell(s, run + option);
        EXPECT_EQ(missing.status, 1) << option;
        EXPECT_NE(missing.err.find("Nobody: no vessel of that name in the scenario"),
                  std::string::npos)
            << missing.err;
        EXPECT_EQ(missing.out, "") << option;
    }
}

// The key codes a module compares against are the ones the program presses for the same letter.
TEST(KeyTargets, TheInterfaceKeyCodesAreTheOnesTheProgramPresses) {
    const std::pair<const char*, DWORD> keys[] = {
        {"Q", OAPI_KEY_Q}, {"W", OAPI_KEY_W}, {"E", OAPI_KEY_E}, {"R", OAPI_KEY_R},
        {"T", OAPI_KEY_T}, {"Y", OAPI_KEY_Y}, {"U", OAPI_KEY_U}, {"I", OAPI_KEY_I},
        {"O", OAPI_KEY_O}, {"P", OAPI_KEY_P}, {"A", OAPI_KEY_A}, {"S", OAPI_KEY_S},
        {"D", OAPI_KEY_D}, {"F", OAPI_KEY_F}, {"G", OAPI_KEY_G}, {"H", OAPI_KEY_H},
        {"J", OAPI_KEY_J}, {"K", OAPI_KEY_K}, {"L", OAPI_KEY_L}, {"Z", OAPI_KEY_Z},
        {"X", OAPI_KEY_X}, {"C", OAPI_KEY_C}, {"V", OAPI_KEY_V}, {"B", OAPI_KEY_B},
        {"N", OAPI_KEY_N}, {"M", OAPI_KEY_M}, {"1", OAPI_KEY_1}, {"2", OAPI_KEY_2},
        {"3", OAPI_KEY_3}, {"4", OAPI_KEY_4}, {"5", OAPI_KEY_5}, {"6", OAPI_KEY_6},
        {"7", OAPI_KEY_7}, {"8", OAPI_KEY_8}, {"9", OAPI_KEY_9}, {"0", OAPI_KEY_0},
    };
    for (const auto& [text, code] : keys) {
        sim::KeyPress k;
        ASSERT_TRUE(sim::parse_key(text, k)) << text;
        EXPECT_EQ(k.code, code) << text;
        EXPECT_EQ(sim::key_name(code), text);
    }
}
