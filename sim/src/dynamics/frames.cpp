#include "sim/frames.h"

#include <algorithm>
#include <cmath>

#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

EquPos equ_from_body_fixed(const VECTOR3& p) {
    EquPos e;
    e.radius_m = length(p);
    if (e.radius_m <= 0.0)
        return e;
    e.lat_rad = std::asin(std::clamp(p.y / e.radius_m, -1.0, 1.0));
    e.lng_rad = std::atan2(p.z, p.x);
    return e;
}

VECTOR3 body_fixed_from_equ(const EquPos& e) {
    double cl = std::cos(e.lat_rad);
    return VECTOR3{cl * std::cos(e.lng_rad), std::sin(e.lat_rad), cl * std::sin(e.lng_rad)} *
           e.radius_m;
}

namespace {

// Columns east, up, north from the sines and cosines of longitude and latitude.
MATRIX3 basis_from(double so, double co, double sa, double ca) {
    VECTOR3 east{-so, 0.0, co};
    VECTOR3 up{ca * co, sa, ca * so};
    VECTOR3 north{-sa * co, ca, -sa * so};
    return from_columns(east, up, north);
}

// The horizon basis at a body-fixed position, from its coordinates without trigonometry (it
// runs in every sub-step of the motion); on the polar axis, where longitude is undefined, as
// horizon_basis takes it (longitude 0).
MATRIX3 horizon_basis_at(const VECTOR3& p);

// The body whose centre an object's frame of positions is centred on: the body itself, or a
// vessel's reference body (null: the global origin).
const Body* centre_body(const Object& o) {
    if (o.kind() == Object::Kind::Body)
        return &static_cast<const Body&>(o);
    return static_cast<const Vessel&>(o).state.ref;
}

VECTOR3 centre_of(const World& w, const Object& o) {
    const Body* b = centre_body(o);
    return b ? b->position(w.clock.mjd) : VECTOR3{0, 0, 0};
}

VECTOR3 offset_from_centre(const Object& o) {
    return o.kind() == Object::Kind::Vessel ? static_cast<const Vessel&>(o).state.rpos
                                            : VECTOR3{0, 0, 0};
}

}  // namespace

MATRIX3 horizon_basis(double lng, double lat) {
    return basis_from(std::sin(lng), std::cos(lng), std::sin(lat), std::cos(lat));
}

namespace {

MATRIX3 horizon_basis_at(const VECTOR3& p) {
    double rho = std::sqrt(p.x * p.x + p.z * p.z);
    if (rho <= 0.0) {
        EquPos e = equ_from_body_fixed(p);
        return horizon_basis(e.lng_rad, e.lat_rad);
    }
    double r = length(p);
    return basis_from(p.z / rho, p.x / rho, p.y / r, rho / r);
}

}  // namespace

VECTOR3 global_pos(const World& w, const Vessel& v) {
    return global_pos_at(v, w.clock.mjd);
}

VECTOR3 relative_pos(const World& w, const Vessel& v, const Object& ref) {
    // The centres first: over its own body a vessel keeps every digit of its position. Centred
    // on the same body they cancel exactly, without the body's orbit being worked out.
    const VECTOR3 centres =
        centre_body(v) == centre_body(ref) ? VECTOR3{0, 0, 0} : centre_of(w, v) - centre_of(w, ref);
    return centres + (v.state.rpos - offset_from_centre(ref));
}

VECTOR3 body_fixed_pos(const World& w, const Vessel& v) {
    if (!v.state.ref)
        return v.state.rpos;
    return tmul(v.state.ref->rotation(w.clock.mjd), v.state.rpos);
}

EquPos equ_pos(const World& w, const Vessel& v) {
    return equ_from_body_fixed(body_fixed_pos(w, v));
}

VECTOR3 ground_velocity(const World& w, const Vessel& v) {
    if (!v.state.ref)
        return v.state.rvel;
    return v.state.rvel - v.state.ref->surface_velocity(v.state.rpos, w.clock.mjd);
}

MATRIX3 global_to_horizon(const World& w, const Vessel& v) {
    if (!v.state.ref)
        return identity3();
    MATRIX3 body = v.state.ref->rotation(w.clock.mjd);
    return transpose(mul(body, horizon_basis_at(tmul(body, v.state.rpos))));
}

MATRIX3 vessel_to_horizon(const World& w, const Vessel& v) {
    return mul(global_to_horizon(w, v), v.state.rot);
}

// R = Rx(a) Ry(b) Rz(c).
MATRIX3 rotation_from_euler(const VECTOR3& arot) {
    double ca = std::cos(arot.x), sa = std::sin(arot.x);
    double cb = std::cos(arot.y), sb = std::sin(arot.y);
    double cc = std::cos(arot.z), sc = std::sin(arot.z);
    MATRIX3 rx{1, 0, 0, 0, ca, -sa, 0, sa, ca};
    MATRIX3 ry{cb, 0, sb, 0, 1, 0, -sb, 0, cb};
    MATRIX3 rz{cc, -sc, 0, sc, cc, 0, 0, 0, 1};
    return mul(rx, mul(ry, rz));
}

VECTOR3 euler_from_rotation(const MATRIX3& r) {
    double b = std::asin(std::clamp(r.m13, -1.0, 1.0));
    if (std::abs(r.m13) < 1.0 - 1e-12)
        return {std::atan2(-r.m23, r.m33), b, std::atan2(-r.m12, r.m11)};
    // Gimbal lock: put the whole turn about x.
    return {std::atan2(r.m32, r.m22), b, 0.0};
}

}  // namespace sim
