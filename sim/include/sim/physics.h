// The motion of vessels over one frame: the integrator, in internal steps.
#pragma once

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// Advances every vessel that is not attached to a parent by dt seconds, in internal sub-steps;
// attached children then follow their parents rigidly.
void advance_motion(World& w, double dt_s);

// Height of the vessel's origin above the ground under it, m.
double height_above_ground(const World& w, const Vessel& v);

SIM_API_END
}  // namespace sim
