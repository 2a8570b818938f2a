// How the ground of a body moves: its angular velocity and the velocity of a surface point.
#pragma once

#include "sim/body.h"
#include "sim/vec.h"

namespace sim {

// The body's angular velocity, global orientation, rad/s: a point p fixed on it moves at
// p x spin.
inline VECTOR3 body_spin(const Body& b) {
    return {0.0, b.angular_rate_rad_s(), 0.0};
}

// Velocity of the surface under a point (relative to the body's centre), global orientation.
inline VECTOR3 surface_velocity(const Body& b, const VECTOR3& p) {
    return cross(p, body_spin(b));
}

}  // namespace sim
