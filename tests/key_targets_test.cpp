// Keys of `run --key TIME:[VESSEL:]KEY` go to the vessel named, or the focus vessel; --focus sets
// the focus at the start; the run says for each key whether the module took it.
#include <fstream>

#include "apps/run_options.h"
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
