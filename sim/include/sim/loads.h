// The loads on a vessel as they stand: thrust, drag, gravity and ground contact, and the wind.
#pragma once

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Body;
class Vessel;
class World;

// Forces and torques on a vessel in its current state, vessel frame (torque) and global
// orientation (force), N and N m.
struct Loads {
    VECTOR3 force_global{0, 0, 0};
    VECTOR3 torque_local{0, 0, 0};
    VECTOR3 weight_global{0, 0, 0};
    bool contact = false;
};
Loads compute_loads(const World& w, const Vessel& v);

// The weight of a vessel and what hangs on it: its reference body's gravity times its mass,
// global orientation, N.
VECTOR3 weight_global(const Vessel& v);

// The wind at a height above the body's mean radius, local horizon frame (x east, y up, z north),
// m/s: the body's constant wind, up to a ceiling above which none blows; none without air.
VECTOR3 wind_horizon(const Body& b, double altitude_m);

SIM_API_END
}  // namespace sim
