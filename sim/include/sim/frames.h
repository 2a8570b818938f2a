// Frames of reference. All are left-handed: a vessel has x right, y up, z forward; the local
// horizon frame has x east, y up (away from the body's centre), z north; a body's own frame has
// y towards its north pole; the global frame is centred on the Sun, with y towards the
// ecliptic's north pole (sim/body.h). A vessel's position and velocity are kept relative to its
// reference body's centre, in global orientation.
#pragma once

#include "sim/body.h"
#include "sim/export.h"
#include "sim/vec.h"
#include "sim/vessel.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// Equatorial coordinates of a body-fixed position: longitude (east positive), latitude, radius.
struct EquPos {
    double lng_rad = 0.0, lat_rad = 0.0, radius_m = 0.0;
};
EquPos equ_from_body_fixed(const VECTOR3& p);
VECTOR3 body_fixed_from_equ(const EquPos& e);

// Columns: east, up, north, in body-fixed coordinates, at a longitude and latitude.
MATRIX3 horizon_basis(double lng_rad, double lat_rad);

// A vessel's position and velocity.
VECTOR3 global_pos(const World& w, const Vessel& v);  // global frame, m
// The same at a date, from its place relative to its reference body: inline, for the scans over
// every vessel that modules run each frame.
inline VECTOR3 global_pos_at(const Vessel& v, double mjd);
// Position of a vessel relative to an object (a body or a vessel), global orientation, m.
VECTOR3 relative_pos(const World& w, const Vessel& v, const Object& ref);
VECTOR3 body_fixed_pos(const World& w, const Vessel& v);  // reference body's rotating frame, m
EquPos equ_pos(const World& w, const Vessel& v);
// Velocity relative to the rotating surface (ground speed), global orientation, m/s.
VECTOR3 ground_velocity(const World& w, const Vessel& v);
// Vessel frame -> horizon frame at the vessel's position.
MATRIX3 vessel_to_horizon(const World& w, const Vessel& v);
// Global orientation -> horizon frame at the vessel's position.
MATRIX3 global_to_horizon(const World& w, const Vessel& v);

// Rotation matrix from Euler angles (the attitude of a status record) and back: the product of
// rotations about x, then y, then z, as the simulator's status records give them.
MATRIX3 rotation_from_euler(const VECTOR3& arot);
VECTOR3 euler_from_rotation(const MATRIX3& r);

inline VECTOR3 global_pos_at(const Vessel& v, double mjd) {
    const Body* ref = v.state.ref;
    return (ref ? ref->position(mjd) : VECTOR3{0, 0, 0}) + v.state.rpos;
}

SIM_API_END
}  // namespace sim
