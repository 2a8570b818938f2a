// Vectors and matrices of the simulator interface. Plain records of doubles; no behaviour beyond
// the small helpers the simulator's own headers offer.
#pragma once

// Three doubles: a position in metres, a velocity in m/s or a direction, in the frame the caller
// names (the vessel's own frame unless stated otherwise).
struct VECTOR3 {
    double x, y, z;
};

// 3x3 matrix of doubles stored row by row: m11 m12 m13 is the first row.
struct MATRIX3 {
    double m11, m12, m13, m21, m22, m23, m31, m32, m33;
};

// Four single-precision colour components: red, green, blue, alpha.
struct COLOUR4 {
    float r, g, b, a;
};

inline VECTOR3 _V(double x, double y, double z) {
    return VECTOR3{x, y, z};
}

inline MATRIX3 _M(double m11, double m12, double m13, double m21, double m22, double m23,
                  double m31, double m32, double m33) {
    return MATRIX3{m11, m12, m13, m21, m22, m23, m31, m32, m33};
}
