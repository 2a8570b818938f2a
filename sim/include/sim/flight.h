// A flight: the world flown frame after frame until one of the ends its caller set, with the
// caller's work done around each frame. The one frame loop of the program's runs, the studies'
// runs and the benchmarks.
#pragma once

#include "sim/export.h"
#include "sim/rest.h"

namespace sim {
SIM_API_BEGIN

class World;

enum class FlightEnd {
    end_time,     // the clock reached the end time
    rested,       // every vessel rested on the ground, no animation moving
    wall_time,    // the flight passed its wall time limit
    stopped,      // the caller stopped it
    clock_stuck,  // the clock cannot advance by a frame any more
};

struct FlightPlan {
    double frame_s = 0.02;  // each frame's length; the last is cut to end at end_s
    double end_s = 0.0;     // the simulation time the flight ends at
    // Above 0: the flight also ends once every vessel has rested on the ground this long and
    // no animation moves.
    double rest_s = 0.0;
    double max_wall_s = 0.0;  // above 0: the wall time the flight may take
};

// The caller's work around each frame; each returns false to stop the flight there.
class FrameHooks {
  public:
    virtual ~FrameHooks() = default;
    // At each frame boundary, the first included, before the flight looks at its ends.
    virtual bool at_boundary() { return true; }
    // Before each frame, once the flight goes on.
    virtual bool before_frame() { return true; }
    virtual bool after_frame(double /*dt_s*/) { return true; }
};

class Flight {
  public:
    Flight(World& w, const FlightPlan& plan);

    // Flies until an end. A module's fault or a state that stops being finite passes through
    // as the exception the frame threw.
    FlightEnd fly(FrameHooks& hooks);

    // Frame lengths add up with rounding errors: a remainder this small is no frame.
    double slack_s() const;
    // The frame the clock could not advance by, when it is stuck.
    double stuck_frame_s() const { return stuck_frame_s_; }
    double wall_s() const { return wall_s_; }  // the wall time flown so far

  private:
    World& w_;
    FlightPlan plan_;
    RestWatch rest_;
    double stuck_frame_s_ = 0.0, wall_s_ = 0.0;
};

SIM_API_END
}  // namespace sim
