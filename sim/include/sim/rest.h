// When a vessel rests on the ground. One definition serves the physics, which holds a vessel to
// the surface once it has rested for kHoldAfter_s, and the program, which ends a run once every
// vessel has rested for a wait of its own.
#pragma once

#include <utility>
#include <vector>

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// Still with the ground: slower than this over the turning surface, and turning at most this
// much faster or slower than it.
constexpr double kRestSpeed_m_s = 0.02;
constexpr double kRestRate_rad_s = 0.002;
// A vessel that has rested this long is held to the surface.
constexpr double kHoldAfter_s = 2.0;

// The angular velocity of a vessel turning with the ground under it, vessel frame, rad/s.
VECTOR3 turning_with_ground(const World& w, const Vessel& v);

// Moving and turning with the ground within the limits above. A vessel held landed is.
bool still_with_ground(const World& w, const Vessel& v);

// Touching the ground or held on it, and still with it. A child rests with the vessel it hangs
// on.
bool resting(const World& w, const Vessel& v);

// How long each vessel has rested, frame after frame.
class RestWatch {
  public:
    void update(const World& w, double dt_s);
    // True once every vessel has rested for at least this long.
    bool all_rested(const World& w, double seconds) const;

  private:
    // One entry per vessel in index order; an entry whose vessel changed starts again. The
    // storage is reused from frame to frame.
    std::vector<std::pair<const Vessel*, double>> rested_s_;
};

SIM_API_END
}  // namespace sim
