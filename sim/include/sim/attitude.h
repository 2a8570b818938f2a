// Rigid-body rotation: inertia tensors and the attitude step.
//
// A body turning at angular velocity omega (vessel frame) has R' = -R [omega]x, so that a vector
// b fixed in the body moves at b x omega seen from outside; Euler's equations read
// I domega/dt = tau + omega x (I omega), and without torque the angular momentum R I omega stays
// fixed in the global frame.
#pragma once

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

// The diagonal tensor of principal moments, kg m^2.
MATRIX3 diagonal(const VECTOR3& moments);
// The inverse of a symmetric tensor; zero where it is singular (a body that cannot turn).
MATRIX3 inverse_symmetric(const MATRIX3& m);
// The tensor of a point mass at offset d about the origin: m (|d|^2 1 - d d^T), kg m^2.
MATRIX3 point_mass_inertia(double mass_kg, const VECTOR3& d);
MATRIX3 add(const MATRIX3& a, const MATRIX3& b);

// R <- R exp(-[a]x): the vessel frame turned through the rotation vector a (vessel frame, rad).
void turn(MATRIX3& R, const VECTOR3& a);

// Rotational energy 1/2 omega . I omega, J.
double rotational_energy(const MATRIX3& inertia, const VECTOR3& omega);

// One torque-free step of h seconds by the implicit midpoint rule on the angular momentum, the
// attitude turned by the matching Cayley rotation. Second order; the rotational energy, the
// magnitude of the angular momentum and its direction in the global frame are kept to
// rounding.
void free_rotation_step(MATRIX3& R, VECTOR3& omega, const MATRIX3& inertia,
                        const MATRIX3& inverse_inertia, double h);

SIM_API_END
}  // namespace sim
