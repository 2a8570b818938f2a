// The plot of a run: height, vertical speed, engine levels and propellant of one vessel against
// time, sampled every frame while the run goes on. The engine panel has each main-group thruster
// and every other thruster group that was lit at some time of the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "apps/common/plot_png.h"
#include "host/records.h"

namespace sim {
class Vessel;
class World;
}  // namespace sim

namespace app {

class FlightPlot {
  public:
    // Records the state of every vessel; call once per frame. Reuses its storage.
    void sample(const sim::World& w);
    // Draws the vessel that has the focus at the end of the run (the one the user flew).
    bool write(const sim::World& w, const std::string& path, std::string& error,
               const std::vector<PlotMark>& marks = {}) const;

  private:
    struct Series {
        const sim::Vessel* vessel = nullptr;
        std::string name;
        std::vector<double> t_s, height_m, vertical_m_s, propellant_kg;
        std::vector<std::vector<double>> engine_levels;  // one series per main-group thruster
        // One series per other group the vessel defines (retro, hover, attitude), by type.
        std::vector<std::pair<THGROUP_TYPE, std::vector<double>>> group_levels;
    };
    std::vector<Series> series_;
};

}  // namespace app
