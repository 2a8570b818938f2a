#include "apps/montecarlo_run.h"

#include <cstdlib>

#include "apps/module_folders.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace app {

namespace {

constexpr double kTimeLimit_s = 3600.0;
// After the first contact, frames enough for the autopilot to see the ground and let go. Once
// it has let go the run ends: off is where it stays, as only key P arms it again and a study
// sends the lander no keys.
constexpr double kAfterTouchdown_s = 2.0;

sim::Vessel* find_lander(const sim::World& w) {
    for (const auto& v : w.vessels())
        if (v->class_name() == "quor_tevlan")
            return v.get();
    return nullptr;
}

// The autopilot's phase as the lander saves it (its "AUTP" line), so that the program needs
// nothing of the lander but its class name; -1 is off.
bool autopilot_off(sim::World& w, sim::Vessel& lander) {
    sim::ScenarioWriteBlock block = sim::saved_block(w, lander);
    for (const auto& [key, value] : block.items)
        if (key == "AUTP")
            return std::atoi(value.c_str()) < 0;
    return false;
}

}  // namespace

Touchdown fly(const std::string& scenario, const std::string& modules_dir, const Dispersion& d,
              std::string& error) {
    Touchdown t;
    sim::World w(module_path(modules_dir));
    try {
        if (!sim::load_scenario(w, scenario, error))
            return t;
    } catch (const sim::ModuleFault& e) {
        // Every run reads the same scenario: the study cannot go on.
        error = e.what();
        return t;
    }
    sim::Vessel* lander = find_lander(w);
    if (!lander) {
        error = scenario + ": no quor_tevlan lander to judge";
        return t;
    }
    if (!apply_start_overrides(w, d.start, error))
        return t;
    const double end_s = w.clock.t_s + kTimeLimit_s;
    try {
        while (w.clock.t_s < end_s) {
            w.step(d.dt_s);
            const auto& s = lander->state;
            if (s.ever_touched && (w.clock.t_s >= s.touchdown.time_s + kAfterTouchdown_s ||
                                   autopilot_off(w, *lander)))
                break;
        }
    } catch (const sim::NonFiniteState&) {
        t.failure = "state not finite";
        return t;
    } catch (const sim::ModuleFault& e) {
        t.failure = e.what();
        return t;
    }
    const auto& s = lander->state;
    if (!s.ever_touched) {
        t.failure = "no touchdown within an hour";
        return t;
    }
    t.touched = true;
    t.autopilot_off = autopilot_off(w, *lander);
    t.vertical_m_s = s.touchdown.vertical_m_s;
    t.horizontal_m_s = s.touchdown.horizontal_m_s;
    t.tilt_deg = s.touchdown.tilt_deg;
    t.propellant_kg = s.touchdown.propellant_kg;
    t.time_s = s.touchdown.time_s;
    return t;
}

std::string verdict(const Touchdown& t) {
    if (!t.touched)
        return t.failure.empty() ? "no touchdown" : t.failure;
    if (!t.autopilot_off)
        return "autopilot still on";
    if (!(t.vertical_m_s < kMaxVertical_m_s))
        return "vertical speed";
    if (!(t.horizontal_m_s < kMaxHorizontal_m_s))
        return "horizontal speed";
    if (!(t.tilt_deg < kMaxTilt_deg))
        return "tilt";
    if (!(t.propellant_kg > 0.0))
        return "no propellant";
    return "";
}

}  // namespace app
