// Where a vessel's animations put its mesh groups: one affine transform of the vessel frame per
// animated group, worked out from the animation components and the animations' states. The
// replay viewer poses the meshes by the same rules, so that the picture checks the modules'
// animation definitions.
#pragma once

#include <vector>

#include "host/animation.h"
#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
struct AnimationComponent;

// x' = r x + t, in the vessel frame.
struct Affine {
    MATRIX3 r = identity3();
    VECTOR3 t{0, 0, 0};
};

// a after b: x -> a(b(x)).
Affine compose(const Affine& a, const Affine& b);
VECTOR3 apply(const Affine& a, const VECTOR3& x);

// How far through its own range a component is at an animation state: 0 before state0, 1 after
// state1, linear between (a component of no width jumps at state0).
double component_fraction(const AnimationComponent& c, double state);

// A component's own transform at a fraction of its travel: rotation by fraction x angle about
// the axis (normalised) through the reference point, the plain coordinate formula of a rotation
// (x goes towards y for a positive angle about z); translation by fraction x shift; scaling about
// the reference point by 1 + fraction x (scale - 1) on each axis.
Affine component_transform(const MGROUP_TRANSFORM& tr, double fraction);

struct GroupPose {
    unsigned mesh = 0, group = 0;
    Affine pose;
};

// Every group that some component names, with its transform: the components are taken in the
// order of the animations and, within one, in the order they were added; each component's
// transform is its own after its parent's (a child moves with its parent chain), and a group
// named by several components gets them one after another, the later ones last. Sorted by mesh,
// then group.
std::vector<GroupPose> pose_groups(const Vessel& v);

SIM_API_END
}  // namespace sim
