// Which way is up for a vessel: its touchdown points say which way is down. The tilt at a
// touchdown, the telemetry's tilt and the attitude a vessel is set down in on the ground all
// take it.
#pragma once

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

struct VesselConfig;

// The vessel's up axis, vessel frame: the normal of the plane of its first three touchdown
// points, pointing away from them to the side the origin is on (with the origin in the plane,
// the side the points' order gives). +z for a vessel with fewer than three points or with three
// in a line. origin_height_m, when given, is the origin's height above that plane (0 without
// one).
VECTOR3 up_axis(const VesselConfig& c, double* origin_height_m = nullptr);

SIM_API_END
}  // namespace sim
