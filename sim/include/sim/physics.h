// The motion of vessels: forces, contact with the ground and integration over one frame.
#pragma once

#include "host/records.h"
#include "sim/vec.h"

namespace sim {

class Body;
class Vessel;
class World;

// Advances every vessel that is not attached to a parent by dt seconds, in internal sub-steps;
// attached children then follow their parents rigidly.
void advance_motion(World& w, double dt_s);

// Places a child rigidly at its parent's attachment point: position, attitude and velocity.
void place_attached_child(const World& w, Vessel& child);

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

// Sets a vessel's motion from a status record: free flight from position, velocity, attitude
// and rotation, or landed at the record's longitude, latitude and heading. Propellant and
// thruster levels the record lists are applied too.
void apply_status(World& w, Vessel& v, const VESSELSTATUS2& s);

// Puts a vessel on the ground of its reference body at a longitude and latitude, upright on its
// first three touchdown points, its forward axis turned to a heading (rad from north towards
// east), and holds it there.
void place_landed(World& w, Vessel& v, double lng_rad, double lat_rad, double heading_rad);

// The heading of a landed vessel, rad from north towards east.
double landed_heading(const Vessel& v);

// The wind at a height above the body's mean radius, local horizon frame (x east, y up, z north),
// m/s: the body's constant wind, up to a ceiling above which none blows; none without air.
VECTOR3 wind_horizon(const Body& b, double altitude_m);

// Sets a vessel's angular velocity to the ground's turning, as a vessel standing on it turns.
void turn_with_ground(const World& w, Vessel& v);

// Height of the vessel's origin above the ground under it, m.
double height_above_ground(const World& w, const Vessel& v);

}  // namespace sim
