// Animation components: mesh-group transforms that an animation applies over a range of its
// 0..1 state. The module creates and owns them; the simulator keeps pointers to them.
#pragma once

#include "handles.h"
#include "math_types.h"

class MGROUP_TRANSFORM {
  public:
    enum TYPE { NULLTRANSFORM, ROTATE, TRANSLATE, SCALE };

    MGROUP_TRANSFORM(UINT mesh, const UINT* grp, UINT ngrp) : mesh(mesh), grp(grp), ngrp(ngrp) {}
    virtual ~MGROUP_TRANSFORM() = default;
    virtual TYPE Type() const { return NULLTRANSFORM; }

    UINT mesh;        // mesh index
    const UINT* grp;  // mesh groups moved, a list the module keeps alive
    UINT ngrp;        // number of groups in grp
};

// Rotation of mesh groups about an axis through a reference point.
class MGROUP_ROTATE : public MGROUP_TRANSFORM {
  public:
    MGROUP_ROTATE(UINT mesh, const UINT* grp, UINT ngrp, const VECTOR3& ref, const VECTOR3& axis,
                  float angle)
        : MGROUP_TRANSFORM(mesh, grp, ngrp), ref(ref), axis(axis), angle(angle) {}
    TYPE Type() const override { return ROTATE; }

    VECTOR3 ref;   // point on the axis, vessel frame, m
    VECTOR3 axis;  // rotation axis as given (not normalised)
    float angle;   // full rotation angle, rad
};

// Translation of mesh groups by a shift vector.
class MGROUP_TRANSLATE : public MGROUP_TRANSFORM {
  public:
    MGROUP_TRANSLATE(UINT mesh, const UINT* grp, UINT ngrp, const VECTOR3& shift)
        : MGROUP_TRANSFORM(mesh, grp, ngrp), shift(shift) {}
    TYPE Type() const override { return TRANSLATE; }

    VECTOR3 shift;  // full shift, vessel frame, m
};

// Scaling of mesh groups about a reference point.
class MGROUP_SCALE : public MGROUP_TRANSFORM {
  public:
    MGROUP_SCALE(UINT mesh, const UINT* grp, UINT ngrp, const VECTOR3& ref, const VECTOR3& scale)
        : MGROUP_TRANSFORM(mesh, grp, ngrp), ref(ref), scale(scale) {}
    TYPE Type() const override { return SCALE; }

    VECTOR3 ref;    // fixed point of the scaling, vessel frame, m
    VECTOR3 scale;  // full scale factors along x, y and z
};
