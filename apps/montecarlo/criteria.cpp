#include "apps/montecarlo/criteria.h"

#include "apps/run/start_overrides.h"
#include "sim/number_text.h"

namespace app {

namespace {

// "vertical speed 3.1416 m/s, limit 2.5": the value as the CSV holds it.
std::string over(const char* what, double value, const char* unit, const std::string& limit) {
    return std::string(what) + " " + sim::format_fixed(value, 4) + " " + unit + ", limit " + limit;
}

}  // namespace

std::vector<std::string> failed_criteria(const Touchdown& t, const Criteria& c) {
    if (!t.touched) {
        if (!t.failure.empty())
            return {t.failure};
        return c.survive_s > 0.0 ? std::vector<std::string>{}
                                 : std::vector<std::string>{"no touchdown"};
    }
    std::vector<std::string> failed;
    if (!t.autopilot_off)
        failed.push_back("autopilot still on");
    // Written so that a figure that is not a number fails too.
    if (!(t.vertical_m_s < c.max_vertical_m_s))
        failed.push_back(
            over("vertical speed", t.vertical_m_s, "m/s", exact_text(c.max_vertical_m_s)));
    if (!(t.horizontal_m_s < c.max_horizontal_m_s))
        failed.push_back(
            over("horizontal speed", t.horizontal_m_s, "m/s", exact_text(c.max_horizontal_m_s)));
    if (!(t.tilt_deg < c.max_tilt_deg))
        failed.push_back(over("tilt", t.tilt_deg, "deg", exact_text(c.max_tilt_deg)));
    if (c.min_propellant_kg && !(t.propellant_kg > *c.min_propellant_kg))
        failed.push_back(over("propellant", t.propellant_kg, "kg",
                              "more than " + exact_text(*c.min_propellant_kg)));
    return failed;
}

std::string verdict(const Touchdown& t, const Criteria& c) {
    std::string text;
    for (const std::string& f : failed_criteria(t, c)) text += (text.empty() ? "" : "; ") + f;
    return text;
}

std::string over_sim_time(const RunLimits& l) {
    return "over the simulated time limit of " + exact_text(l.sim_time_s) + " s";
}

std::string over_wall_time(const RunLimits& l) {
    return "over the wall time limit of " + exact_text(l.wall_time_s) + " s";
}

}  // namespace app
