// A picture of a HUD: what was drawn on it, as PNG.
#pragma once

#include <string>
#include <vector>

#include "sim/export.h"
#include "sim/hud.h"

namespace sim {
SIM_API_BEGIN

// Writes the texts in their colours over a dark background, at their positions, as a PNG image
// of the HUD's size. False with a message when the image cannot be written.
bool write_hud_png(const std::vector<DrawnText>& texts, HudSize size, const std::string& path,
                   std::string& error);

SIM_API_END
}  // namespace sim
