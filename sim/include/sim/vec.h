// Vector and matrix arithmetic used throughout the stand-in. All frames are left-handed; the
// cross product is the plain coordinate formula.
#pragma once

#include <cmath>

#include "host/math_types.h"
#include "sim/export.h"

// Operators live beside VECTOR3 in the global namespace, where argument lookup finds them.
inline VECTOR3 operator+(const VECTOR3& a, const VECTOR3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline VECTOR3 operator-(const VECTOR3& a, const VECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline VECTOR3 operator-(const VECTOR3& a) {
    return {-a.x, -a.y, -a.z};
}
inline VECTOR3 operator*(const VECTOR3& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline VECTOR3 operator*(double s, const VECTOR3& a) {
    return a * s;
}
inline VECTOR3 operator/(const VECTOR3& a, double s) {
    return {a.x / s, a.y / s, a.z / s};
}
inline VECTOR3& operator+=(VECTOR3& a, const VECTOR3& b) {
    return a = a + b;
}
inline VECTOR3& operator-=(VECTOR3& a, const VECTOR3& b) {
    return a = a - b;
}

namespace sim {
SIM_API_BEGIN

inline double dot(const VECTOR3& a, const VECTOR3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline VECTOR3 cross(const VECTOR3& a, const VECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const VECTOR3& a) {
    return std::sqrt(dot(a, a));
}
inline VECTOR3 unit(const VECTOR3& a) {
    double l = length(a);
    return l > 0.0 ? a / l : VECTOR3{0.0, 0.0, 0.0};
}
inline bool is_finite(const VECTOR3& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

inline MATRIX3 identity3() {
    return {1, 0, 0, 0, 1, 0, 0, 0, 1};
}

// M v
inline VECTOR3 mul(const MATRIX3& m, const VECTOR3& v) {
    return {m.m11 * v.x + m.m12 * v.y + m.m13 * v.z, m.m21 * v.x + m.m22 * v.y + m.m23 * v.z,
            m.m31 * v.x + m.m32 * v.y + m.m33 * v.z};
}
// M^T v
inline VECTOR3 tmul(const MATRIX3& m, const VECTOR3& v) {
    return {m.m11 * v.x + m.m21 * v.y + m.m31 * v.z, m.m12 * v.x + m.m22 * v.y + m.m32 * v.z,
            m.m13 * v.x + m.m23 * v.y + m.m33 * v.z};
}
inline MATRIX3 mul(const MATRIX3& a, const MATRIX3& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21 + a.m13 * b.m31,
            a.m11 * b.m12 + a.m12 * b.m22 + a.m13 * b.m32,
            a.m11 * b.m13 + a.m12 * b.m23 + a.m13 * b.m33,
            a.m21 * b.m11 + a.m22 * b.m21 + a.m23 * b.m31,
            a.m21 * b.m12 + a.m22 * b.m22 + a.m23 * b.m32,
            a.m21 * b.m13 + a.m22 * b.m23 + a.m23 * b.m33,
            a.m31 * b.m11 + a.m32 * b.m21 + a.m33 * b.m31,
            a.m31 * b.m12 + a.m32 * b.m22 + a.m33 * b.m32,
            a.m31 * b.m13 + a.m32 * b.m23 + a.m33 * b.m33};
}
inline MATRIX3 transpose(const MATRIX3& m) {
    return {m.m11, m.m21, m.m31, m.m12, m.m22, m.m32, m.m13, m.m23, m.m33};
}
// The matrix whose columns are a, b, c.
inline MATRIX3 from_columns(const VECTOR3& a, const VECTOR3& b, const VECTOR3& c) {
    return {a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z};
}

SIM_API_END
}  // namespace sim
