#include "sim/placement.h"

#include <algorithm>
#include <cmath>

#include "ground_hold.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/up_axis.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

// The vessel's forward axis on the ground: its z axis, or its y axis for a vessel standing on z.
VECTOR3 standing_forward_axis(const VECTOR3& up) {
    VECTOR3 f = VECTOR3{0, 0, 1} - up * up.z;
    if (length(f) < 0.5)
        f = VECTOR3{0, 1, 0} - up * up.y;
    return unit(f);
}

// Rotation taking the local pair (up, forward) onto the pair given in another frame.
MATRIX3 align(const VECTOR3& up_l, const VECTOR3& fwd_l, const VECTOR3& up_o,
              const VECTOR3& fwd_o) {
    MATRIX3 l = from_columns(cross(up_l, fwd_l), up_l, fwd_l);
    MATRIX3 o = from_columns(cross(up_o, fwd_o), up_o, fwd_o);
    return mul(o, transpose(l));
}

}  // namespace

void place_landed(World& w, Vessel& v, double lng, double lat, double heading) {
    if (!v.state.ref)
        v.state.ref = w.body("Mars");
    const Body& b = *v.state.ref;
    double origin_height = 0.0;
    VECTOR3 up_l = up_axis(v.config, &origin_height);
    VECTOR3 fwd_l = standing_forward_axis(up_l);
    MATRIX3 hor = horizon_basis(lng, lat);
    VECTOR3 east{hor.m11, hor.m21, hor.m31}, up{hor.m12, hor.m22, hor.m32},
        north{hor.m13, hor.m23, hor.m33};
    VECTOR3 fwd = north * std::cos(heading) + east * std::sin(heading);
    v.state.landed_rot_body = align(up_l, fwd_l, up, fwd);
    v.state.landed_pos_body = up * (b.ground_radius_m() + origin_height);
    MATRIX3 body = b.rotation(w.clock.mjd);
    v.state.rpos = mul(body, v.state.landed_pos_body);
    v.state.rot = mul(body, v.state.landed_rot_body);
    v.state.rvel = b.surface_velocity(v.state.rpos, w.clock.mjd);
    turn_with_ground(w, v);
    v.state.landed = true;
    v.state.ground_contact = true;
    v.state.ever_touched = true;
    v.state.lifted_off = v.state.left_ground = false;
}

double landed_heading(const Vessel& v) {
    VECTOR3 up_l = up_axis(v.config);
    VECTOR3 fwd = mul(v.state.landed_rot_body, standing_forward_axis(up_l));
    EquPos e = equ_from_body_fixed(v.state.landed_pos_body);
    MATRIX3 hor = horizon_basis(e.lng_rad, e.lat_rad);
    VECTOR3 east{hor.m11, hor.m21, hor.m31}, north{hor.m13, hor.m23, hor.m33};
    return std::atan2(dot(fwd, east), dot(fwd, north));
}

void apply_status(World& w, Vessel& v, const VESSELSTATUS2& s) {
    auto* obj = static_cast<Object*>(s.rbody);
    if (obj && w.owns(obj) && obj->kind() == Object::Kind::Body)
        v.state.ref = static_cast<Body*>(obj);
    if (!v.state.ref)
        v.state.ref = w.dominant_body(s.rpos);
    if (s.status == 1) {
        place_landed(w, v, s.surf_lng, s.surf_lat, s.surf_hdg);
    } else {
        v.state.rpos = s.rpos;
        v.state.rvel = s.rvel;
        v.state.omega = s.vrot;
        v.state.rot = rotation_from_euler(s.arot);
        v.state.landed = false;
        v.state.ground_contact = false;
    }
    for (DWORD i = 0; s.fuel && i < s.nfuel; ++i)
        if (s.fuel[i].idx < v.propellants.size()) {
            Propellant& p = *v.propellants[s.fuel[i].idx];
            p.mass_kg = std::clamp(s.fuel[i].level, 0.0, 1.0) * p.max_mass_kg;
        }
    for (DWORD i = 0; s.thruster && i < s.nthruster; ++i)
        if (s.thruster[i].idx < v.thrusters.size())
            v.thrusters[s.thruster[i].idx]->level = std::clamp(s.thruster[i].level, 0.0, 1.0);
}

}  // namespace sim
