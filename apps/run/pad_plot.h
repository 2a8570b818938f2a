// The plot of a launch from a pad: the rocket's height and main-engine level, the umbilical's
// state and status, the pad's plume levels, and its lights and vent against time.
#pragma once

#include <string>
#include <vector>

#include "apps/common/plot_png.h"

namespace sim {
class Vessel;
class World;
}  // namespace sim

namespace app {

class PadWatch;

class PadPlot {
  public:
    // The first pad of the world, and the first other vessel with a main engine group as its
    // rocket. False when the world has no pad.
    bool start(const sim::World& w);
    // Once per frame, after the watch has read the pad's umbilical.
    void sample(const sim::World& w, const PadWatch& pads);
    bool write(const std::string& path, std::string& error,
               const std::vector<PlotMark>& marks = {}) const;

  private:
    const sim::Vessel* pad_ = nullptr;
    const sim::Vessel* rocket_ = nullptr;
    std::vector<double> t_s_, height_m_, main_level_, umb_state_, umb_status_, side_plume_,
        pad_plume_, flares_, vent_, beacons_, floodlights_;
};

}  // namespace app
