// Changes to a scenario's start that `vesselsim run` applies after loading it: the conditions a
// Monte Carlo run disperses, so that one command line replays any of its runs.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}
namespace sim {
class World;
}

namespace app {

// Each applies to the body the scenario's first free vessel (one not hanging on a parent)
// flies about, or where none flies the body the first stands on, and to the free vessels
// flying about it (the carrier); vessels landed on it stand on its moved ground.
struct StartOverrides {
    double height_scale = 1.0;     // heights above the ground times this
    double speed_scale = 1.0;      // speeds over the ground times this
    double turn_deg = 0.0;         // attitudes turned by this angle...
    double turn_axis_deg = 0.0;    // ...about the horizontal axis at this heading (from north)
    double wind_m_s = -1.0;        // constant wind speed; below 0: the scenario's wind
    double wind_from_deg = 0.0;    // the direction it blows from, degrees from north to east
    double ground_offset_m = 0.0;  // ground raised by this much; vessels keep their heights

    bool any() const;
    // The options that apply these, as `vesselsim run` takes them; none for a default.
    std::vector<std::string> as_arguments() const;
};

// Registers the options of StartOverrides on the run command.
void add_start_options(CLI::App& run, StartOverrides& o);

// Applies the overrides to a loaded world before its first frame. False with a message when the
// world has no vessel about a body to apply them to.
bool apply_start_overrides(sim::World& w, const StartOverrides& o, std::string& error);

// Shortest decimal text that reads back to the same double.
std::string exact_text(double v);

}  // namespace app
