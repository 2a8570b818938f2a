// The Windows build has no cairo to draw with: a picture of the HUD is refused in one line.
#include "sim/hud_png.h"

namespace sim {

bool write_hud_png(const std::vector<DrawnText>&, HudSize, const std::string& path,
                   std::string& error) {
    error = "cannot write " + path + ": pictures of the HUD are drawn by the Linux build only";
    return false;
}

}  // namespace sim
