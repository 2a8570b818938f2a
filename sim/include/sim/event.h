// What the stand-in observes in a run, as records: a key sent, a separation, a touchdown, an
// effect switching. The library words none of them; a program or a test does (the vesselsim
// program's wording is apps/run/event_text.h). The vessels named are alive while the event is
// handed out, and not after.
#pragma once

#include <utility>
#include <variant>
#include <vector>

#include "host/handles.h"
#include "host/records.h"
#include "sim/export.h"
#include "sim/flight_state.h"

namespace sim {
SIM_API_BEGIN

class Vessel;

namespace event {

// The focus moved to a vessel.
struct Focus {
    const Vessel* vessel;
};

// A child vessel was attached to a parent, or released from it.
struct Attach {
    const Vessel* child;
    const Vessel* parent;
    bool attached;  // false for a release
};

// A module sent a buffered key to a vessel.
struct Key {
    const Vessel* to;
    DWORD key;
    bool down;
};

// A module set the state of another vessel than its own.
struct StateSet {
    const Vessel* by;
    const Vessel* vessel;
    double velocity_change_m_s;
};

// A vessel's first ground contact after flight, or its first after a lift-off, with how it
// touched down.
struct Touchdown {
    const Vessel* vessel;
    FlightState::Touchdown touchdown;
};

// A vessel held on the ground was freed by its own forces.
struct Liftoff {
    const Vessel* vessel;
};

// Thruster groups that lit (with their levels) or were cut in a frame, in creation order.
struct Groups {
    const Vessel* vessel;
    bool lit;
    std::vector<std::pair<THGROUP_TYPE, double>> groups;
};

// A thruster outside every group, carrying visible effects, switched on or off.
struct Effects {
    const Vessel* vessel;
    int thruster;  // index in creation order
    bool on;
    int streams, flares;  // what it carries
};

// Beacons or spot lights switched on or off in a frame: their 1-based numbers.
struct Lights {
    const Vessel* vessel;
    bool spot;  // spot lights, else beacons
    bool on;
    std::vector<int> numbers;
};

// An animation started moving from a state, or came to rest at one.
struct Animation {
    const Vessel* vessel;
    int animation;
    bool moving;
    double state;
};

// A propellant resource that held propellant is empty.
struct TankDry {
    const Vessel* vessel;
    int tank;  // index in creation order
};

}  // namespace event

using Event = std::variant<event::Focus, event::Attach, event::Key, event::StateSet,
                           event::Touchdown, event::Liftoff, event::Groups, event::Effects,
                           event::Lights, event::Animation, event::TankDry>;

SIM_API_END
}  // namespace sim
