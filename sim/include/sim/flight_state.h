// The motion of a vessel. Position and velocity are kept relative to the reference body (the
// dominant body) in global orientation, which keeps metre precision far from the Sun.
#pragma once

#include <vector>

#include "sim/export.h"
#include "sim/vec.h"

namespace sim {
SIM_API_BEGIN

class Body;

struct FlightState {
    Body* ref = nullptr;        // reference body
    VECTOR3 rpos{0, 0, 0};      // position relative to ref, global orientation, m
    VECTOR3 rvel{0, 0, 0};      // velocity relative to ref, global orientation, m/s
    MATRIX3 rot = identity3();  // vessel frame -> global frame
    VECTOR3 omega{0, 0, 0};     // angular velocity, vessel frame, rad/s

    // Held fixed to the rotating surface until net forces lift the vessel.
    bool landed = false;
    VECTOR3 landed_pos_body{0, 0, 0};       // position in the body-fixed frame, m
    MATRIX3 landed_rot_body = identity3();  // vessel frame -> body-fixed frame

    bool ground_contact = false;  // a touchdown point touches the ground
    bool ever_touched = false;    // ground contact has happened at least once
    // Freed from the ground by its own forces since its last touchdown (or since it was placed
    // on the ground), and then clear of it: its next contact is a touchdown of its own. Its feet
    // still touch as it lifts off, which is no landing.
    bool lifted_off = false;
    bool left_ground = false;

    // Figures at a touchdown, taken as the first foot touches.
    struct Touchdown {
        double vertical_m_s = 0.0, horizontal_m_s = 0.0, tilt_deg = 0.0, propellant_kg = 0.0;
        double time_s = 0.0;
    };
    Touchdown touchdown;                // the first measured, as the summary has always had it
    std::vector<Touchdown> touchdowns;  // every one measured, the first included, in order
    bool touchdown_pending = false;     // taken, not yet reported
    bool liftoff_pending = false;       // released from the ground by its own forces, not reported
    double rest_timer_s = 0.0;          // how long the vessel has rested still on the ground
};

// Position, velocity, attitude and rotation are all finite numbers.
bool finite_state(const FlightState& s);

// The touchdown figures were measured: a vessel placed on the ground by its scenario has none
// until it lifts off and comes down again.
inline bool has_touchdown_figures(const FlightState& s) {
    return !s.touchdowns.empty();
}

// The vessel's next ground contact is a touchdown: its first contact, or the first after it
// lifted off.
inline bool touchdown_due(const FlightState& s) {
    return !s.ever_touched || s.left_ground;
}

SIM_API_END
}  // namespace sim
