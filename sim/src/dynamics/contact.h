// Contact of a vessel with the ground over one internal step.
#pragma once

#include "sim/vessel.h"
#include "step_loads.h"

namespace sim {

// Spring-damper touchdown points with friction against the body's surface, and the fallback
// sphere that keeps a vessel lying on its side or back above the ground. h is the internal
// step the friction must stay stable over.
void add_contact(const Vessel& v, double mjd, double h, StepLoads& out);

// How high the lowest of a vessel's touchdown points, or its fallback sphere, is above the
// ground, m; below 0 when it is in the ground.
double lowest_point_height_m(const Vessel& v);

// Radius of the fallback sphere about the vessel's origin, m: well inside the solid the
// touchdown points span, so that it never touches while the vessel stands on them; the
// vessel's size when its points span no solid or plane around the origin.
double fallback_radius_m(const VesselConfig& c);

// The figures derived from the vessel's size and touchdown points, worked out again only when
// these changed.
const VesselConfig::Derived& derived_figures(const VesselConfig& c);

}  // namespace sim
