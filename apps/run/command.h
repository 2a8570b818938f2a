// A run of a scenario: load, frames with the keys the user asked for, events as they happen,
// telemetry, a summary, and the final save.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "apps/run/options.h"

namespace sim {
class World;
}

namespace app {

// Runs the scenario as the options say; events and the summary go to out, errors to err.
// Returns the exit status.
int run(const RunOptions& options, std::ostream& out, std::ostream& err);

// Presses and releases a key on the vessel it is aimed at (the focus vessel by default), with
// the key's modifiers held in the keyboard state; taken tells whether the module took the
// press. False when there is no such vessel.
bool send_key(sim::World& w, const TimedKey& key, bool* taken = nullptr);

}  // namespace app
