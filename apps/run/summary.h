// The summary a run prints at its end.
#pragma once

#include <ostream>

namespace sim {
class World;
}

namespace app {

enum class RunEnd {
    until,       // reached --until
    all_rested,  // every vessel rested on the ground long enough
    time_limit,  // an hour of simulated time without --until
};

void write_summary(const sim::World& w, RunEnd why, double simulated_s, double wall_s,
                   std::ostream& out);

}  // namespace app
