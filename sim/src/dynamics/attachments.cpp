#include "sim/attachments.h"

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
    if (parent == child || is_ancestor(child, parent))
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

}  // namespace sim
