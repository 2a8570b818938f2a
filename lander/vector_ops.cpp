#include "vector_ops.h"

#include <cmath>

VECTOR3 cross_product(const VECTOR3& a, const VECTOR3& b) {
    return _V(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

double vector_length(const VECTOR3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

bool normalise_in_place(VECTOR3& v) {
    const double len = vector_length(v);
    if (!(len > 0.0) || !std::isfinite(len))
        return false;
    v = _V(v.x / len, v.y / len, v.z / len);
    return true;
}

VECTOR3 matrix_times_vector(const MATRIX3& m, const VECTOR3& v) {
    return _V(m.m11 * v.x + m.m12 * v.y + m.m13 * v.z, m.m21 * v.x + m.m22 * v.y + m.m23 * v.z,
              m.m31 * v.x + m.m32 * v.y + m.m33 * v.z);
}

MATRIX3 axis_rotation_matrix(const VECTOR3& k, double angle_rad) {
    const double ca = std::cos(angle_rad), sa = std::sin(angle_rad), ta = 1.0 - ca;
    const double x = k.x, y = k.y, z = k.z;
    return _M(ca + x * x * ta, x * y * ta - z * sa, x * z * ta + y * sa,  //
              x * y * ta + z * sa, ca + y * y * ta, y * z * ta - x * sa,  //
              x * z * ta - y * sa, y * z * ta + x * sa, ca + z * z * ta);
}
