// The mass, centre of mass and inertia of a vessel together with the children hanging on it.
#pragma once

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Vessel;

struct MassProperties {
    double mass_kg = 0.0;
    VECTOR3 centre_m{0, 0, 0};  // centre of mass, vessel frame
    MATRIX3 inertia_kg_m2{};    // about the centre of mass, vessel frame axes
};

// A vessel's own mass sits at its origin with its principal moments; every child adds its own
// properties where it hangs, moved to the common centre by the parallel-axis terms.
MassProperties mass_properties(const Vessel& v);

// Where a child sits in its parent's frame: its attitude relative to the parent and its origin.
struct RelativePlace {
    MATRIX3 rot = identity3();  // child frame -> parent frame
    VECTOR3 offset_m{0, 0, 0};  // child's origin, parent frame
};
RelativePlace relative_place(const Vessel& parent, const Vessel& child);

SIM_API_END
}  // namespace sim
