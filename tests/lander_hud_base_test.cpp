// The lander's HUD lets the base HUD draw first, with the same mode, paint settings and
// sketchpad, and only then draws its own block.
#include <algorithm>
#include <cstdio>

#include "sim/hud.h"
#include "support/lander_fixture.h"

namespace {

std::string pointer_text(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

}  // namespace

TEST_F(LanderTest, TheHudCallsTheBaseFirstWithTheSameArgumentsThenDrawsItsBlock) {
    world->trace_new_vessels = true;
    sim::Vessel* v = add_lander();
    v->trace.clear();
    sim::RecordingSketchpad skp;
    HUDPAINTSPEC hps{};
    hps.W = 1024;
    hps.H = 768;
    const int mode = 3;  // any mode: it is only passed on
    {
        sim::CallbackScope scope(*world, v);
        EXPECT_TRUE(lander_of(v).clbkDrawHUD(mode, &hps, &skp));
    }
    const std::vector<std::string> ops = v->trace.ops();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front(), "VESSEL3::clbkDrawHUD");
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "VESSEL3::clbkDrawHUD"), 1);
    EXPECT_EQ(v->trace.of("VESSEL3::clbkDrawHUD").at(0).args,
              "3, " + pointer_text(&hps) + ", " + pointer_text(&skp));
    // Its own block comes after: the six lines on the sketchpad it was given.
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "Text"), 6);
    EXPECT_EQ(skp.texts().size(), 6u);
}
