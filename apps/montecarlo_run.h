// One run of a Monte Carlo study: the scenario with its dispersed start, flown until the lander
// has been on the ground for a moment, and how it touched down.
#pragma once

#include <string>

#include "apps/montecarlo_plan.h"

namespace app {

// The lander's touchdown as the stand-in measured it at its first ground contact.
struct Touchdown {
    bool touched = false;        // the lander reached the ground
    bool autopilot_off = false;  // its landing autopilot had switched itself off
    double vertical_m_s = 0.0, horizontal_m_s = 0.0, tilt_deg = 0.0, propellant_kg = 0.0;
    double time_s = 0.0;
    std::string failure;  // why the run could not be judged, e.g. "state not finite"
};

// Limits of a successful landing: touchdown with the autopilot off, and below these.
constexpr double kMaxVertical_m_s = 2.5;
constexpr double kMaxHorizontal_m_s = 0.5;
constexpr double kMaxTilt_deg = 5.0;

// Flies one run in this process. error is set, and nothing judged, when the scenario cannot be
// loaded or has no lander.
Touchdown fly(const std::string& scenario, const std::string& modules_dir, const Dispersion& d,
              std::string& error);

// What keeps a touchdown from being a success ("" for a success): the first rule it breaks.
std::string verdict(const Touchdown& t);

}  // namespace app
