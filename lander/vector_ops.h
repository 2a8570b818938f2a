// Vector helpers of the lander's guidance. Frames are left-handed; the cross product is the plain
// coordinate formula. Matrices are stored row by row.
#pragma once

#include "host/math_types.h"

// a x b
VECTOR3 cross_product(const VECTOR3& a, const VECTOR3& b);

double vector_length(const VECTOR3& v);

// Divides v by its length. A zero-length (or not finite) v has no direction: it is left as it
// is and the result is false.
bool normalise_in_place(VECTOR3& v);

// M v: row i of M dotted with v.
VECTOR3 matrix_times_vector(const MATRIX3& m, const VECTOR3& v);

// Rotation by angle_rad about the unit axis k.
MATRIX3 axis_rotation_matrix(const VECTOR3& k, double angle_rad);
