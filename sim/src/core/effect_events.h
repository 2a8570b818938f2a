// Events of a vessel's visible effects: flares and particle streams of thrusters outside any
// group, beacons and spot lights, each reported when it switches.
#pragma once

#include "sim/world.h"

namespace sim {

void report_effect_changes(World& w, Vessel& v);

// Takes the effects as they stand as seen, so that only later changes are reported: a vessel's
// effects as its set-up and scenario left them are its starting point.
void take_effects_as_seen(Vessel& v);

}  // namespace sim
