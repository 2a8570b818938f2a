// Loads on a vessel over one internal step, shared by the integrator, the ground hold and the
// contact model. Worked out in loads.cpp, beside the loads the public header sim/loads.h gives.
#pragma once

#include "sim/vec.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

// The internal step near the ground, where the touchdown springs need it short to stay stable.
constexpr double kContactStep_s = 0.001;

struct StepLoads {
    VECTOR3 force{0, 0, 0};   // global orientation, N
    VECTOR3 torque{0, 0, 0};  // vessel frame, about the vessel's origin, N m
    bool contact = false;
};

// The thrust of a vessel and of the children hanging on it over one step, in the vessel's
// frame about its origin: fixed to the vessel for the whole step, so that the step's impulse
// is the propellant it burns times the exhaust speed, even when a tank runs dry within it.
struct Thrust {
    VECTOR3 force{0, 0, 0};   // N
    VECTOR3 torque{0, 0, 0};  // N m
};

// The propellant for h seconds (none for h = 0) is set to burn: burn_propellant takes it.
Thrust thrust(const Vessel& v, double h);
// Burns this share (1: all that is left) of what the step's thrust has set to burn in every
// tank of a vessel and of the children hanging on it.
void burn_propellant(const Vessel& v, double share);
void add_thrust(const Vessel& v, const Thrust& t, StepLoads& out);

// Gravity of the reference body, global orientation, m/s^2.
VECTOR3 gravity(const Vessel& v);

// Drag and, when contact is set, ground contact of a vessel and of the children hanging on
// it; the children's loads act on the vessel where they hang.
StepLoads surroundings(const World& w, const Vessel& v, double h, bool contact);

// Loads over an internal step of h seconds with the step's thrust.
StepLoads loads(const World& w, const Vessel& v, const Thrust& t, double h);

}  // namespace sim
