// Placing a vessel: from a status record, or standing on the ground.
#pragma once

#include "host/records.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// Sets a vessel's motion from a status record: free flight from position, velocity, attitude
// and rotation, or landed at the record's longitude, latitude and heading. Propellant and
// thruster levels the record lists are applied too.
void apply_status(World& w, Vessel& v, const VESSELSTATUS2& s);

// Puts a vessel on the ground of its reference body at a longitude and latitude, upright on its
// first three touchdown points, its forward axis turned to a heading (rad from north towards
// east), and holds it there.
void place_landed(World& w, Vessel& v, double lng_rad, double lat_rad, double heading_rad);

// The heading of a landed vessel, rad from north towards east.
double landed_heading(const Vessel& v);

SIM_API_END
}  // namespace sim
