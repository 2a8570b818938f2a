// Placing vessels for physics tests: above the point of Mars that lies on the global +x axis at
// the world's date, so that a height above the ground comes out as exactly as it is given.
#pragma once

#include "sim/body.h"
#include "sim/frames.h"
#include "sim/vec.h"
#include "sim/vessel.h"
#include "sim/world.h"

// vel: velocity relative to the ground, in the local directions x up, y north, z east.
inline void place_above_mars(sim::World& w, sim::Vessel& v, double height_m,
                             VECTOR3 vel = {0, 0, 0}) {
    sim::Body* mars = w.body("Mars");
    const MATRIX3 body = mars->rotation(w.clock.mjd);
    const VECTOR3 up{1, 0, 0};
    const sim::EquPos e = sim::equ_from_body_fixed(sim::tmul(body, up));
    const MATRIX3 horizon = sim::mul(body, sim::horizon_basis(e.lng_rad, e.lat_rad));
    const VECTOR3 east{horizon.m11, horizon.m21, horizon.m31};
    const VECTOR3 north{horizon.m13, horizon.m23, horizon.m33};
    v.state.ref = mars;
    v.state.rpos = up * (mars->ground_radius_m() + height_m);
    v.state.rvel = up * vel.x + north * vel.y + east * vel.z +
                   mars->surface_velocity(v.state.rpos, w.clock.mjd);
    v.state.rot = sim::from_columns(-east, north, up);  // x west, y north, z up
    v.state.omega = {0, 0, 0};
    v.state.landed = false;
}
