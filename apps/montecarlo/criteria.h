// What makes a run of a study a success: the vessel judged, the limits of its first touchdown,
// or the time it must fly through; and the bounds on a run's simulated and wall time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The lander judged when a study names no vessel: the one class with a landing autopilot that
// must have let go at touchdown.
inline constexpr const char* kLanderClass = "quor_tevlan";
inline bool has_autopilot(std::string_view vessel_class) {
    return vessel_class == kLanderClass;
}

// The judged vessel's first ground contact as the stand-in measured it.
struct Touchdown {
    bool touched = false;        // the vessel reached the ground
    bool autopilot_off = false;  // a lander's landing autopilot had switched itself off; always
                                 // set for a vessel without one
    double vertical_m_s = 0.0, horizontal_m_s = 0.0, tilt_deg = 0.0, propellant_kg = 0.0;
    double time_s = 0.0;
    std::string failure;  // why the run could not be judged, e.g. "state not finite"
};

struct Criteria {
    std::string vessel;  // by name; empty: the scenario's first quor_tevlan lander
    double max_vertical_m_s = 2.5;
    double max_horizontal_m_s = 0.5;
    double max_tilt_deg = 5.0;
    // More than this left at touchdown; none: not judged, as for a vessel that carries no
    // propellant when no limit is given.
    std::optional<double> min_propellant_kg = 0.0;
    // Above 0: the vessel must fly this long without a fault, touchdown or not (a touchdown is
    // still judged by the limits); 0: it must touch down.
    double survive_s = 0.0;
};

struct RunLimits {
    double sim_time_s = 3600.0;  // simulated time a run may take
    double wall_time_s = 300.0;  // wall time a run may take; its process is stopped after it
    double memory_mb = 0.0;      // memory a run's flight may take on top; 0: no limit
    // The motion's internal steps, in free flight and near the ground; 0: the stand-in's.
    double max_step_s = 0.0, contact_step_s = 0.0;
};

// Every criterion the run fails, each with its value and its limit, in a fixed order; none for
// a success.
std::vector<std::string> failed_criteria(const Touchdown& t, const Criteria& c);
// Those joined by "; ": what the table of failures and the CSV show.
std::string verdict(const Touchdown& t, const Criteria& c);

// The text of a run stopped by a limit.
std::string over_sim_time(const RunLimits& l);
std::string over_wall_time(const RunLimits& l);

}  // namespace app
