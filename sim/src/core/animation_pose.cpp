#include "sim/animation_pose.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "sim/vessel.h"

namespace sim {

Affine compose(const Affine& a, const Affine& b) {
    return {mul(a.r, b.r), mul(a.r, b.t) + a.t};
}

VECTOR3 apply(const Affine& a, const VECTOR3& x) {
    return mul(a.r, x) + a.t;
}

double component_fraction(const AnimationComponent& c, double state) {
    if (state <= c.state0)
        return c.state1 > c.state0 ? 0.0 : (state < c.state0 ? 0.0 : 1.0);
    if (state >= c.state1)
        return 1.0;
    return (state - c.state0) / (c.state1 - c.state0);
}

namespace {

// Rotation by angle about a unit axis k: x cos + (k x x) sin + k (k . x)(1 - cos).
MATRIX3 rotation(const VECTOR3& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle), C = 1.0 - c;
    return {c + k.x * k.x * C,       k.x * k.y * C - k.z * s, k.x * k.z * C + k.y * s,
            k.y * k.x * C + k.z * s, c + k.y * k.y * C,       k.y * k.z * C - k.x * s,
            k.z * k.x * C - k.y * s, k.z * k.y * C + k.x * s, c + k.z * k.z * C};
}

// A linear map m that keeps the point p fixed: x -> m (x - p) + p.
Affine about(const MATRIX3& m, const VECTOR3& p) {
    return {m, p - mul(m, p)};
}

}  // namespace

Affine component_transform(const MGROUP_TRANSFORM& tr, double f) {
    switch (tr.Type()) {
        case MGROUP_TRANSFORM::ROTATE: {
            const auto& r = static_cast<const MGROUP_ROTATE&>(tr);
            const double len = length(r.axis);
            if (!(len > 0.0))
                return {};
            return about(rotation(r.axis / len, f * double(r.angle)), r.ref);
        }
        case MGROUP_TRANSFORM::TRANSLATE:
            return {identity3(), static_cast<const MGROUP_TRANSLATE&>(tr).shift * f};
        case MGROUP_TRANSFORM::SCALE: {
            const auto& s = static_cast<const MGROUP_SCALE&>(tr);
            MATRIX3 m{};
            m.m11 = 1.0 + f * (s.scale.x - 1.0);
            m.m22 = 1.0 + f * (s.scale.y - 1.0);
            m.m33 = 1.0 + f * (s.scale.z - 1.0);
            return about(m, s.ref);
        }
        default:
            return {};
    }
}

std::vector<GroupPose> pose_groups(const Vessel& v) {
    // Each component's transform with its parent chain; the animation it belongs to gives the
    // state it is posed at.
    std::map<const AnimationComponent*, double> state_of;
    for (const auto& a : v.animations)
        for (const AnimationComponent* c : a->components) state_of[c] = a->state;
    std::map<const AnimationComponent*, Affine> chained;
    auto chain = [&](const AnimationComponent* c, auto&& self) -> Affine {
        if (auto it = chained.find(c); it != chained.end())
            return it->second;
        auto st = state_of.find(c);
        const double state = st == state_of.end() ? 0.0 : st->second;
        Affine own = component_transform(*c->transform, component_fraction(*c, state));
        chained[c] = own;  // a parent loop ends here
        if (c->parent)
            own = compose(self(c->parent, self), own);
        chained[c] = own;
        return own;
    };
    std::map<std::pair<unsigned, unsigned>, Affine> poses;
    for (const auto& a : v.animations)
        for (const AnimationComponent* c : a->components) {
            const MGROUP_TRANSFORM& tr = *c->transform;
            const Affine m = chain(c, chain);
            for (UINT i = 0; i < tr.ngrp; ++i) {
                Affine& p = poses[{tr.mesh, tr.grp[i]}];
                p = compose(m, p);
            }
        }
    std::vector<GroupPose> out;
    out.reserve(poses.size());
    for (const auto& [key, pose] : poses) out.push_back({key.first, key.second, pose});
    return out;
}

}  // namespace sim
