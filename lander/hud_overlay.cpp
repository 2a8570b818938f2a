// The lander's HUD block: whether the landing autopilot is on, and the keyboard commands. It sits
// near the HUD's left edge, scaled with the HUD's height, and moves right and up on wide HUDs.
#include <cstring>

#include "host/sketchpad.h"
#include "quor_tevlan.h"

namespace {

// Colours in the simulator's encoding, 0x00BBGGRR.
constexpr DWORD light_green = 0x66FF66;
constexpr DWORD light_yellow = 0x66FFFF;

// A line of the block: its position on a HUD 768 pixels high, and its text.
struct hud_line {
    int y_at_768;
    const char* text;
};

constexpr hud_line autopilot_on{168, "P = Landing Autopilot: ON"};
constexpr hud_line autopilot_off_line{168, "P = Landing Autopilot: OFF"};
constexpr hud_line command_lines[] = {
    {184, "C = Toggle Camera View"},    {200, "Ctrl+G = Landing Gear"},
    {216, "Ctrl+K = Meteorology Mast"}, {232, "Ctrl+J = HGA"},
    {248, "Ctrl+U = Sampling Arm"},
};

// Pixels per unit of a 768-pixel HUD, a little below 1/768.
constexpr double scale_per_height = 0.00130208;
// HUDs flatter than this (height over width) are wide.
constexpr double wide_below_ratio = 0.7284;
constexpr int left_margin_px = 10;

// Where the lines go on a HUD of width by height pixels.
struct hud_layout {
    double scale;
    int x_px;
    int y_offset_px;

    hud_layout(int width, int height) : scale(scale_per_height * height) {
        const bool wide =
            static_cast<double>(height) / static_cast<double>(width) < wide_below_ratio;
        x_px = left_margin_px + (wide ? 10 * (16 * width / 1024) : 0);
        y_offset_px = wide ? static_cast<int>(-88 * scale) : 0;
    }
    int y_px(const hud_line& line) const {
        return static_cast<int>(line.y_at_768 * scale) + y_offset_px;
    }
};

void draw(oapi::Sketchpad& skp, const hud_layout& at, const hud_line& line) {
    skp.Text(at.x_px, at.y_px(line), line.text, static_cast<int>(std::strlen(line.text)));
}

}  // namespace

bool quor_tevlan::clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) {
    VESSEL3::clbkDrawHUD(mode, hps, skp);
    if (!hps || !skp)
        return true;
    const hud_layout at(hps->W, hps->H);
    skp->SetTextColor(light_green);
    const hud_line* first = &autopilot_on;
    if (autopilot_phase == autopilot_off) {
        skp->SetTextColor(light_yellow);
        first = &autopilot_off_line;
    }
    draw(*skp, at, *first);
    for (const hud_line& line : command_lines) {
        skp->SetTextColor(light_green);
        draw(*skp, at, line);
    }
    return true;
}
