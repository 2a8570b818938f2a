#include "sim/flight.h"

#include <algorithm>
#include <chrono>

#include "sim/world.h"

namespace sim {

namespace {

// Whether some vessel's animation moved in the last frame: a mechanism still on its way keeps
// the flight going.
bool animation_moving(const World& w) {
    for (const auto& v : w.vessels())
        for (const auto& a : v->animations)
            if (a->moving)
                return true;
    return false;
}

}  // namespace

Flight::Flight(World& w, const FlightPlan& plan) : w_(w), plan_(plan) {
    rest_.update(w_, 0.0);
}

double Flight::slack_s() const {
    return std::min(1e-6, plan_.frame_s * 1e-3);
}

FlightEnd Flight::fly(FrameHooks& hooks) {
    const auto wall_start = std::chrono::steady_clock::now();
    auto wall_now = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    };
    const double slack = slack_s();
    auto end = [&](FlightEnd how) {
        wall_s_ = wall_now();
        return how;
    };
    while (true) {
        if (!hooks.at_boundary())
            return end(FlightEnd::stopped);
        if (plan_.max_wall_s > 0.0 && wall_now() > plan_.max_wall_s)
            return end(FlightEnd::wall_time);
        if (w_.clock.t_s >= plan_.end_s - slack)
            return end(FlightEnd::end_time);
        if (plan_.rest_s > 0.0 && rest_.all_rested(w_, plan_.rest_s) && !animation_moving(w_))
            return end(FlightEnd::rested);
        if (!hooks.before_frame())
            return end(FlightEnd::stopped);
        const double dt = std::min(plan_.frame_s, plan_.end_s - w_.clock.t_s);
        if (!(w_.clock.t_s + dt > w_.clock.t_s)) {
            stuck_frame_s_ = dt;
            return end(FlightEnd::clock_stuck);
        }
        w_.step(dt);
        rest_.update(w_, dt);
        if (!hooks.after_frame(dt))
            return end(FlightEnd::stopped);
    }
}

}  // namespace sim
