// Placement of a vessel relative to the surface, as scenario lines give it.
#pragma once

#include <string>

#include "sim/scenario_block.h"
#include "sim/world.h"

namespace sim {

// Turns the placement lines of a block into its status record: GROUND_POS, GROUND_VEL and
// HORIZON_ATT are resolved against the reference body at the world's current time. False with
// a message when the block's lines contradict each other or leave a free vessel nowhere.
bool resolve_status(const World& w, PendingStatus& pending, std::string& error);

}  // namespace sim
