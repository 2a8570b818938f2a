// The sketchpad base, and the stand-in's recording sketchpad under a vessel's HUD.
#include "sim/hud.h"

#include <cstring>

#include "sim/world.h"

namespace oapi {

Sketchpad::~Sketchpad() = default;

DWORD Sketchpad::SetTextColor(DWORD) {
    return 0;
}

bool Sketchpad::Text(int, int, const char*, int) {
    return false;
}

}  // namespace oapi

namespace sim {

DWORD RecordingSketchpad::SetTextColor(DWORD col) {
    trace_free("SetTextColor", static_cast<unsigned>(col));
    DWORD previous = text_colour_;
    text_colour_ = col;
    return previous;
}

bool RecordingSketchpad::Text(int x, int y, const char* str, int len) {
    if (!str || len < 0)
        return false;
    // Never past a terminating zero within len.
    std::string text(str, strnlen(str, static_cast<std::size_t>(len)));
    trace_free("Text", x, y, text);
    texts_.push_back({x, y, std::move(text), text_colour_});
    return true;
}

std::vector<DrawnText> draw_hud(World& w, Vessel& v, HudSize size) {
    RecordingSketchpad skp;
    HUDPAINTSPEC hps{};
    hps.W = size.width;
    hps.H = size.height;
    hps.CX = size.width / 2;
    hps.CY = size.height / 2;
    constexpr double view_height_deg = 40.0;  // the HUD spans this much of the view
    hps.Scale = size.height / view_height_deg;
    hps.Markersize = size.height / 50;
    if (VESSEL3* cb = v.callbacks3())
        call_module(w, v, "clbkDrawHUD", [&] { cb->clbkDrawHUD(HUD_SURFACE, &hps, &skp); });
    return skp.texts();
}

}  // namespace sim
