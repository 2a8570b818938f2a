#include "sim/attitude.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// The midpoint equation is solved by fixed-point iteration, which contracts by about the
// angle turned per step; longer turns are split so that it converges quickly.
constexpr double kMaxTurnPerSubstep_rad = 0.1;
// No vessel turns this many tenths of a radian in a step (5000 rad/s at 20 ms); a rate beyond
// it, as a crash deep into the ground can give, is turned in this many sub-steps, coarsely.
constexpr double kMaxSubsteps = 1000;
constexpr int kMaxIterations = 40;
constexpr double kTolerance = 1e-15;

// The rotation through the angle |a| about a, in the sense of the cross product:
// exp([a]x) v = v cos + (k x v) sin + k (k . v)(1 - cos). Its sine and cosine are worked out
// once for every vector it turns.
class Rotation {
  public:
    explicit Rotation(const VECTOR3& a) : angle_(length(a)) {
        if (angle_ <= 0.0)
            return;
        k_ = a / angle_;
        c_ = std::cos(angle_);
        s_ = std::sin(angle_);
    }
    // The rotation about -a: the same angle, the axis reversed.
    Rotation reversed() const {
        Rotation r = *this;
        r.k_ = -k_;
        return r;
    }
    VECTOR3 operator()(const VECTOR3& v) const {
        if (angle_ <= 0.0)
            return v;
        return v * c_ + cross(k_, v) * s_ + k_ * (dot(k_, v) * (1.0 - c_));
    }

  private:
    double angle_;
    VECTOR3 k_{0, 0, 0};
    double c_ = 1.0, s_ = 0.0;
};

// R turned by the rotation taken backwards: the columns of exp(-[a]x) are the axes turned
// backwards, exp(-[a]x) e_i.
void turn_back(MATRIX3& R, const Rotation& forward) {
    const Rotation back = forward.reversed();
    R = mul(R, from_columns(back({1, 0, 0}), back({0, 1, 0}), back({0, 0, 1})));
}

}  // namespace

MATRIX3 diagonal(const VECTOR3& d) {
    return {d.x, 0, 0, 0, d.y, 0, 0, 0, d.z};
}

MATRIX3 add(const MATRIX3& a, const MATRIX3& b) {
    return {a.m11 + b.m11, a.m12 + b.m12, a.m13 + b.m13, a.m21 + b.m21, a.m22 + b.m22,
            a.m23 + b.m23, a.m31 + b.m31, a.m32 + b.m32, a.m33 + b.m33};
}

MATRIX3 point_mass_inertia(double m, const VECTOR3& d) {
    double dd = dot(d, d);
    return {m * (dd - d.x * d.x), -m * d.x * d.y,       -m * d.x * d.z,
            -m * d.y * d.x,       m * (dd - d.y * d.y), -m * d.y * d.z,
            -m * d.z * d.x,       -m * d.z * d.y,       m * (dd - d.z * d.z)};
}

MATRIX3 inverse_symmetric(const MATRIX3& m) {
    // Cofactors; the tensor is symmetric, so the adjugate is too.
    double c11 = m.m22 * m.m33 - m.m23 * m.m32, c12 = m.m23 * m.m31 - m.m21 * m.m33,
           c13 = m.m21 * m.m32 - m.m22 * m.m31;
    double det = m.m11 * c11 + m.m12 * c12 + m.m13 * c13;
    double scale = std::max({std::abs(m.m11), std::abs(m.m22), std::abs(m.m33)});
    if (!(det > 1e-12 * scale * scale * scale))
        return {0, 0, 0, 0, 0, 0, 0, 0, 0};
    double c22 = m.m11 * m.m33 - m.m13 * m.m31, c23 = m.m12 * m.m31 - m.m11 * m.m32,
           c33 = m.m11 * m.m22 - m.m12 * m.m21;
    return {c11 / det, c12 / det, c13 / det, c12 / det, c22 / det,
            c23 / det, c13 / det, c23 / det, c33 / det};
}

void turn(MATRIX3& R, const VECTOR3& a) {
    turn_back(R, Rotation(a));
}

double rotational_energy(const MATRIX3& inertia, const VECTOR3& omega) {
    return 0.5 * dot(omega, mul(inertia, omega));
}

void free_rotation_step(MATRIX3& R, VECTOR3& omega, const MATRIX3& inertia,
                        const MATRIX3& inverse_inertia, double h) {
    double turn_rad = length(omega) * std::abs(h);
    if (turn_rad <= 0.0)
        return;
    if (inverse_inertia.m11 + inverse_inertia.m22 + inverse_inertia.m33 <= 0.0) {
        turn(R, omega * h);  // without inertia nothing changes its rate
        return;
    }
    // Counted as a double: an absurd rate must not overflow the count.
    double wanted = std::ceil(turn_rad / kMaxTurnPerSubstep_rad);
    int substeps = wanted < kMaxSubsteps ? std::max(1, static_cast<int>(wanted))
                                         : static_cast<int>(kMaxSubsteps);
    double dt = h / substeps;
    for (int s = 0; s < substeps; ++s) {
        VECTOR3 l0 = mul(inertia, omega);
        // Midpoint momentum: l_m = l0 + dt/2 (w_m x l_m), w_m = I^-1 l_m.
        VECTOR3 lm = l0;
        double tol = kTolerance * length(l0);
        for (int i = 0; i < kMaxIterations; ++i) {
            VECTOR3 next = l0 + cross(mul(inverse_inertia, lm), lm) * (0.5 * dt);
            double change = length(next - lm);
            lm = next;
            if (change <= tol)
                break;
        }
        VECTOR3 wm = mul(inverse_inertia, lm);
        // l1 = cay(dt [w_m]x) l0: a rotation by 2 atan(dt |w_m| / 2) about w_m, which keeps
        // |l| exactly; the attitude turns back by the same rotation, which keeps R l fixed.
        double rate = length(wm);
        if (rate <= 0.0)
            continue;
        const Rotation cay(wm * (2.0 * std::atan(0.5 * dt * rate) / rate));
        omega = mul(inverse_inertia, cay(l0));
        turn_back(R, cay);
    }
}

}  // namespace sim
