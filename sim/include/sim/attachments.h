// Hanging a child vessel on a parent's attachment point, releasing it, and placing what hangs
// where its parent's point holds it.
#pragma once

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

struct Attachment;
class Vessel;
class World;

// Joins a parent's point for children with a child's point towards a parent. False when either
// point is missing, of the wrong kind, already in use, the child hangs on a parent already, or
// the join would make a loop or a chain deeper than kMaxHangingLevels.
bool attach(Attachment* parent_point, Attachment* child_point);

// Whether hanging child (and what hangs on it) on parent would make a chain deeper than
// kMaxHangingLevels.
bool chain_too_deep(const Vessel& parent, const Vessel& child);

// Releases whatever hangs on a parent's point, with the parent's motion plus vel_m_s along the
// point's direction. False when nothing hangs there.
bool detach(Attachment* parent_point, double vel_m_s);

// Places a child rigidly at its parent's attachment point: position, attitude and velocity.
void place_attached_child(const World& w, Vessel& child);

// Places every child hanging on a vessel, and what hangs on them, outermost parents first.
void place_children(const World& w, Vessel& v);

SIM_API_END
}  // namespace sim
