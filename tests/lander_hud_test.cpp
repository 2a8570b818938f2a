// The lander's HUD block as the stand-in's sketchpad records it: where the six lines go on
// narrow and wide HUDs, their texts, the colours for the autopilot on and off; and the picture
// of a HUD that cannot be written.
#include "sim/hud.h"
#include "sim/hud_png.h"
#include "support/lander_fixture.h"

namespace {

constexpr DWORD kGreen = 0x66FF66;
constexpr DWORD kYellow = 0x66FFFF;

const std::vector<std::string> kCommandTexts = {"C = Toggle Camera View", "Ctrl+G = Landing Gear",
                                                "Ctrl+K = Meteorology Mast", "Ctrl+J = HGA",
                                                "Ctrl+U = Sampling Arm"};

class LanderHudTest : public LanderTest {};

}  // namespace

TEST_F(LanderHudTest, TheBlockSitsNearTheLeftEdgeScaledWithHeightAndMovesOnWideHuds) {
    struct Case {
        sim::HudSize size;
        int x;
        std::vector<int> y;
    };
    const Case cases[] = {
        {{1024, 768}, 10, {167, 183, 199, 215, 231, 247}},
        {{800, 600}, 10, {131, 143, 156, 168, 181, 193}},
        {{1920, 1080}, 310, {113, 135, 158, 180, 203, 225}},
        {{1366, 768}, 220, {80, 96, 112, 128, 144, 160}},
        // Height over width exactly at the bound is not wide; just below it is.
        {{2500, 1821}, 10, {398, 436, 474, 512, 550, 588}},
        {{2500, 1820}, 400, {190, 228, 265, 303, 341, 379}},
    };
    sim::Vessel* v = add_lander();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size.width) + "x" + std::to_string(c.size.height));
        auto texts = sim::draw_hud(*world, *v, c.size);
        ASSERT_EQ(texts.size(), 6u);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].x, c.x) << i;
            EXPECT_EQ(texts[i].y, c.y[i]) << i;
        }
    }
}

TEST_F(LanderHudTest, OnlyAnAutopilotSwitchedOffShowsOffInYellowAndTheCommandsStayGreen) {
    struct Case {
        int phase;
        const char* first_text;
        DWORD first_colour;
        std::vector<unsigned> colours_set;  // every colour set, in order
    };
    const std::vector<unsigned> on = {kGreen, kGreen, kGreen, kGreen, kGreen, kGreen};
    const std::vector<unsigned> off = {kGreen, kYellow, kGreen, kGreen, kGreen, kGreen, kGreen};
    const Case cases[] = {
        {autopilot_armed, "P = Landing Autopilot: ON", kGreen, on},
        {attached_descent, "P = Landing Autopilot: ON", kGreen, on},
        {powered_descent, "P = Landing Autopilot: ON", kGreen, on},
        {-2, "P = Landing Autopilot: ON", kGreen, on},  // hand-edited: only -1 is off
        {autopilot_off, "P = Landing Autopilot: OFF", kYellow, off},
    };
    world->trace_new_vessels = true;
    sim::Vessel* v = add_lander();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phase);
        lander_of(v).autopilot_phase = c.phase;
        v->trace.clear();
        auto texts = sim::draw_hud(*world, *v, {1024, 768});
        ASSERT_EQ(texts.size(), 6u);
        EXPECT_EQ(texts[0].text, c.first_text);
        EXPECT_EQ(texts[0].colour, c.first_colour);
        for (std::size_t i = 1; i < 6; ++i) {
            EXPECT_EQ(texts[i].text, kCommandTexts[i - 1]);
            EXPECT_EQ(texts[i].colour, kGreen) << texts[i].text;
        }
        std::vector<unsigned> colours_set;
        for (const auto& e : v->trace.of("SetTextColor")) colours_set.push_back(std::stoul(e.args));
        EXPECT_EQ(colours_set, c.colours_set);
    }
}

TEST_F(LanderHudTest, APictureThatCannotBeWrittenIsReportedWithItsPath) {
    sim::Vessel* v = add_lander();
    auto texts = sim::draw_hud(*world, *v, {640, 360});
    std::string error;
    EXPECT_FALSE(sim::write_hud_png(texts, {640, 360}, "/nonexistent/dir/hud.png", error));
    EXPECT_NE(error.find("/nonexistent/dir/hud.png"), std::string::npos) << error;
}
