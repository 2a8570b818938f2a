// A vessel on the ground: its touchdown, its hold to the turning surface once it has rested, and
// its release when its own forces lift it.
#pragma once

#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

// Fixes a resting vessel to the surface, turning with it, for h seconds up to elapsed_s into
// the frame. False, with nothing of the step taken, when thrust and drag outweigh its weight:
// it is free then, with the ground's motion.
bool hold_landed(const World& w, Vessel& v, double elapsed_s, double h);

// A vessel's touchdown figures as it is now, elapsed_s into the frame: its speeds over the
// ground, the tilt of its up axis and its propellant.
FlightState::Touchdown touchdown_figures(const World& w, const Vessel& v, double elapsed_s);
// Records a touchdown of the vessel with those figures.
void record_touchdown(Vessel& v, const FlightState::Touchdown& td);
inline void take_touchdown(const World& w, Vessel& v, double elapsed_s) {
    record_touchdown(v, touchdown_figures(w, v, elapsed_s));
}

// After a step of h seconds that ended elapsed_s into the frame, with or without contact:
// notes a vessel clear of the ground after its lift-off, counts the vessel's rest and holds it
// to the surface once it has rested long enough.
void hold_when_rested(const World& w, Vessel& v, bool contact, double elapsed_s, double h,
                      double& rest_timer);

// Sets a vessel's angular velocity to the ground's turning, as a vessel standing on it turns.
void turn_with_ground(const World& w, Vessel& v);

}  // namespace sim
