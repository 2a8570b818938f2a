// The head-up display (HUD) of the stand-in: a sketchpad that records every text a module draws
// on it, and the drawing of a vessel's HUD onto one.
#pragma once

#include <string>
#include <vector>

#include "host/sketchpad.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// One text drawn on a sketchpad.
struct DrawnText {
    int x = 0, y = 0;  // top-left corner of the text, pixels
    std::string text;  // the characters drawn
    DWORD colour = 0;  // 0x00BBGGRR
};

// Records what is drawn on it, in drawing order.
class RecordingSketchpad : public oapi::Sketchpad {
  public:
    // Text colour before a module sets one: the HUD's own light green.
    static constexpr DWORD default_text_colour = 0x00FF00;

    DWORD SetTextColor(DWORD col) override;
    bool Text(int x, int y, const char* str, int len) override;

    const std::vector<DrawnText>& texts() const { return texts_; }

  private:
    DWORD text_colour_ = default_text_colour;
    std::vector<DrawnText> texts_;
};

// The size of a HUD, pixels.
struct HudSize {
    int width = 1024, height = 768;
};

// Lets the vessel's module draw its HUD of the given size in surface mode, and returns what it
// drew. A vessel whose class draws through no sketchpad draws nothing.
std::vector<DrawnText> draw_hud(World& w, Vessel& v, HudSize size);

SIM_API_END
}  // namespace sim
