// Loads on a vessel over one internal step, shared by the integrator and the contact model.
#pragma once

#include "sim/vec.h"
#include "sim/vessel.h"

namespace sim {

struct StepLoads {
    VECTOR3 force{0, 0, 0};   // global orientation, N
    VECTOR3 torque{0, 0, 0};  // vessel frame, about the vessel's origin, N m
    bool contact = false;
};

// Spring-damper touchdown points with friction against the body's surface, and the fallback
// sphere that keeps a vessel lying on its side or back above the ground. h is the internal
// step the friction must stay stable over.
void add_contact(const Vessel& v, double mjd, double h, StepLoads& out);

// Radius of the fallback sphere about the vessel's origin, m: well inside the solid the
// touchdown points span, so that it never touches while the vessel stands on them; the
// vessel's size when its points span no solid or plane around the origin.
double fallback_radius_m(const VesselConfig& c);

// The figures derived from the vessel's size and touchdown points, worked out again only when
// these changed.
const VesselConfig::Derived& derived_figures(const VesselConfig& c);

}  // namespace sim
