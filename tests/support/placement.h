// Placing vessels for physics tests: above the point of Mars at longitude 0, latitude 0, where at
// time 0 up is global +x, north global +y and east global +z.
#pragma once

#include "sim/body.h"
#include "sim/vec.h"
#include "sim/vessel.h"
#include "sim/world.h"

// vel: velocity relative to the ground, global orientation (x up, y north, z east here).
inline void place_above_mars(sim::World& w, sim::Vessel& v, double height_m,
                             VECTOR3 vel = {0, 0, 0}) {
    sim::Body* mars = w.body("Mars");
    v.state.ref = mars;
    v.state.rpos = {mars->ground_radius_m() + height_m, 0, 0};
    v.state.rvel = vel + VECTOR3{0, 0, v.state.rpos.x * mars->angular_rate_rad_s()};
    v.state.rot = {0, 0, 1, 0, 1, 0, -1, 0, 0};  // columns: x west, y north, z up
    v.state.omega = {0, 0, 0};
    v.state.landed = false;
}
