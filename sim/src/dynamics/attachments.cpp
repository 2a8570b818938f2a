#include "sim/attachments.h"

#include <cmath>

#include "sim/physics.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

bool is_ancestor(const Vessel* maybe_ancestor, const Vessel* v) {
    for (const Vessel* p = v; p; p = p->parent())
        if (p == maybe_ancestor)
            return true;
    return false;
}

// Orthonormal frame of an attachment point: z along dir, y along rot.
MATRIX3 attachment_basis(const VECTOR3& dir, const VECTOR3& rot, bool reverse_dir) {
    VECTOR3 z = unit(dir);
    if (reverse_dir)
        z = -z;
    VECTOR3 y = rot - z * dot(rot, z);
    if (length(y) < 1e-9)
        y = std::abs(z.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 1, 0};
    y = unit(y - z * dot(y, z));
    return from_columns(cross(y, z), y, z);
}

}  // namespace

bool attach(Attachment* parent_point, Attachment* child_point) {
    if (!parent_point || !child_point)
        return false;
    if (parent_point->to_parent || !child_point->to_parent)
        return false;
    if (parent_point->attached || child_point->attached)
        return false;
    Vessel* parent = parent_point->owner;
    Vessel* child = child_point->owner;
    if (parent == child || child->parent() || is_ancestor(child, parent) ||
        chain_too_deep(*parent, *child))
        return false;
    parent_point->attached = child;
    parent_point->peer = child_point;
    child_point->attached = parent;
    child_point->peer = parent_point;
    child->state.landed = false;
    if (World* w = World::current()) {
        place_attached_child(*w, *child);
        w->event(event::Attach{child, parent, true});
    }
    return true;
}

bool detach(Attachment* parent_point, double vel_m_s) {
    if (!parent_point || parent_point->to_parent || !parent_point->attached)
        return false;
    Vessel* child = parent_point->attached;
    Attachment* child_point = parent_point->peer;
    World* w = World::current();
    // The child leaves with its parent's motion at the point plus the push along the point's
    // direction.
    if (w)
        place_attached_child(*w, *child);
    VECTOR3 push = mul(parent_point->owner->state.rot, unit(parent_point->dir)) * vel_m_s;
    child->state.rvel += push;
    parent_point->attached = nullptr;
    parent_point->peer = nullptr;
    if (child_point) {
        child_point->attached = nullptr;
        child_point->peer = nullptr;
    }
    if (w)
        w->event(event::Attach{child, parent_point->owner, false});
    return true;
}

void place_attached_child(const World&, Vessel& child) {
    const Attachment* up = child.hanging_point();
    if (!up || !up->peer)
        return;
    const Attachment& pp = *up->peer;
    const Vessel& parent = *up->attached;
    // The points face each other: the child's direction points against the parent's, and
    // their rotation references line up.
    MATRIX3 bp = attachment_basis(pp.dir, pp.rot, false);
    MATRIX3 bc = attachment_basis(up->dir, up->rot, true);
    MATRIX3 child_to_parent = mul(bp, transpose(bc));
    child.state.ref = parent.state.ref;
    child.state.rot = mul(parent.state.rot, child_to_parent);
    VECTOR3 origin_in_parent = pp.pos - mul(child_to_parent, up->pos);
    child.state.rpos = parent.state.rpos + mul(parent.state.rot, origin_in_parent);
    child.state.rvel =
        parent.state.rvel + mul(parent.state.rot, cross(origin_in_parent, parent.state.omega));
    child.state.omega = tmul(child_to_parent, parent.state.omega);
    child.state.landed = false;
    child.state.ground_contact = false;
}

bool chain_too_deep(const Vessel& parent, const Vessel& child) {
    return levels_above(parent) + 1 + levels_below(child) > kMaxHangingLevels;
}

void place_children(const World& w, Vessel& v) {
    for_each_hanging(v, [&](Vessel& d) { place_attached_child(w, d); });
}

}  // namespace sim
