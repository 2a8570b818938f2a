#include "apps/montecarlo/flight.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "apps/common/memory_limit.h"
#include "apps/common/module_folders.h"
#include "apps/montecarlo/process_pool.h"
#include "apps/run/start_overrides.h"
#include "sim/flight.h"
#include "sim/scenario.h"
#include "sim/text_file.h"
#include "sim/world.h"

namespace app {

namespace {

// After the first contact, frames enough for the autopilot to see the ground and let go. Once
// it has let go the run ends: off is where it stays, as only key P arms it again and a study
// sends the lander no keys.
constexpr double kAfterTouchdown_s = 2.0;
// The first load is no run: a wall time limit of a run short enough to stop some runs must
// not stop the study before it starts.
constexpr double kProbeWallTime_s = 60.0;

sim::Vessel* judged_vessel(const sim::World& w, const Criteria& c) {
    for (const auto& v : w.vessels())
        if (c.vessel.empty() ? v->class_name() == kLanderClass : v->name() == c.vessel)
            return v.get();
    return nullptr;
}

// The autopilot's phase as the lander saves it (its "AUTP" line), so that the program needs
// nothing of the lander but its class name; -1 is off. A vessel of another class has none.
bool autopilot_off(sim::World& w, sim::Vessel& v) {
    if (!has_autopilot(v.class_name()))
        return true;
    sim::ScenarioWriteBlock block = sim::saved_block(w, v);
    for (const auto& [key, value] : block.items)
        if (key == "AUTP")
            return std::atoi(value.c_str()) < 0;
    return false;
}

Touchdown fly_in(sim::World& w, const std::string& text, const std::string& path,
                 const Dispersion& d, const Criteria& c, const RunLimits& l, std::string& error);

std::string no_vessel(const std::string& scenario, const Criteria& c) {
    return c.vessel.empty() ? scenario + ": no " + kLanderClass + " lander to judge"
                            : scenario + ": no vessel named " + c.vessel + " to judge";
}

// In the probe's child: "ok", the judged vessel's name and class, "tanks" or "no tanks", then
// the class of every vessel, a line each; or "error: " and why.
std::string probe(const PreparedStudy& p, const sim::ModulePath& modules, const Criteria& c) {
    sim::World w(modules);
    std::string error;
    try {
        if (!sim::load_scenario_text(w, p.text(), p.scenario(), error))
            return "error: " + error;
    } catch (const sim::ModuleFault& e) {
        return "error: " + std::string(e.what());
    }
    sim::Vessel* v = judged_vessel(w, c);
    if (!v)
        return "error: " + no_vessel(p.scenario(), c);
    std::string text = "ok\n" + v->name() + "\n" + v->class_name() + "\n" +
                       (v->propellants.empty() ? "no tanks\n" : "tanks\n");
    for (const auto& each : w.vessels()) text += each->class_name() + "\n";
    return text;
}

}  // namespace

PreparedStudy::PreparedStudy() = default;
PreparedStudy::~PreparedStudy() = default;

bool PreparedStudy::prepare(const std::string& scenario, const std::string& modules_dir,
                            Criteria& c, const RunLimits& l, std::string& error) {
    path_ = scenario;
    if (!sim::read_text_file(scenario, sim::kMaxScenarioBytes, text_, error))
        return false;
    const sim::ModulePath modules = module_path(modules_dir);
    ChildResult r;
    try {
        run_in_processes(
            {0}, 1, l.wall_time_s > 0.0 ? std::max(l.wall_time_s, kProbeWallTime_s) : 0.0,
            [&](int) { return probe(*this, modules, c); },
            [&](int, ChildResult& got) { r = std::move(got); });
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    if (!r.completed) {
        error = scenario + ": loading it stopped: " + r.why;
        return false;
    }
    if (r.text.rfind("error: ", 0) == 0) {
        error = r.text.substr(7);
        return false;
    }
    std::istringstream lines(r.text);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, c.vessel);
    std::getline(lines, class_);
    std::getline(lines, line);
    carries_propellant_ = line == "tanks";
    world_ = std::make_unique<sim::World>(modules);
    while (std::getline(lines, line))
        if (!world_->module_for(line, error)) {
            world_.reset();
            return false;
        }
    return true;
}

Touchdown PreparedStudy::fly(const Dispersion& d, const Criteria& c, const RunLimits& l,
                             std::string& error) const {
    return fly_in(*world_, text_, path_, d, c, l, error);
}

Touchdown fly_from_file(const std::string& scenario, const std::string& modules_dir,
                        const Dispersion& d, const Criteria& c, const RunLimits& l,
                        std::string& error) {
    std::string text;
    if (!sim::read_text_file(scenario, sim::kMaxScenarioBytes, text, error))
        return {};
    sim::World w(module_path(modules_dir));
    return fly_in(w, text, scenario, d, c, l, error);
}

namespace {

Touchdown fly_in(sim::World& w, const std::string& text, const std::string& path,
                 const Dispersion& d, const Criteria& c, const RunLimits& l, std::string& error) {
    Touchdown t;
    try {
        if (!sim::load_scenario_text(w, text, path, error))
            return t;
    } catch (const sim::ModuleFault& e) {
        // Every run reads the same scenario: the study cannot go on.
        error = e.what();
        return t;
    }
    sim::Vessel* v = judged_vessel(w, c);
    if (!v) {
        error = no_vessel(path, c);
        return t;
    }
    if (!apply_start_overrides(w, d.start, error))
        return t;
    if (l.max_step_s > 0.0)
        w.steps.free_s = l.max_step_s;
    if (l.contact_step_s > 0.0)
        w.steps.contact_s = l.contact_step_s;
    // A vessel on the ground at the start is judged by its first touchdown after it lifted off;
    // a survival study of it only by its flight.
    const bool on_ground_at_start = v->state.ever_touched;
    const double start_s = w.clock.t_s;
    const double end_s = start_s + (c.survive_s > 0.0 ? c.survive_s : l.sim_time_s);
    // The flight ends at the end time, or once the vessel has touched down and then let go or
    // waited; it fails when the vessel goes or its flight passes the memory limit.
    struct Watch : sim::FrameHooks {
        sim::World& w;
        sim::Vessel* v;
        const Criteria& c;
        MemoryWatch memory;
        std::string failure;
        Watch(sim::World& w, sim::Vessel* v, const Criteria& c, double memory_mb)
            : w(w), v(v), c(c), memory(memory_mb) {}
        bool after_frame(double) override {
            if (!w.owns(v)) {
                failure = "the vessel is gone";
                return false;
            }
            failure = memory.over(w.clock.t_s);
            if (!failure.empty())
                return false;
            const auto& s = v->state;
            return !(
                c.survive_s <= 0.0 && sim::has_touchdown_figures(s) &&
                (w.clock.t_s >= s.touchdown.time_s + kAfterTouchdown_s || autopilot_off(w, *v)));
        }
    } watch(w, v, c, l.memory_mb);
    try {
        sim::Flight(w, {d.dt_s, end_s, 0.0, 0.0}).fly(watch);
    } catch (const sim::NonFiniteState&) {
        t.failure = "state not finite";
        return t;
    } catch (const sim::ModuleFault& e) {
        t.failure = e.what();
        return t;
    }
    if (!watch.failure.empty()) {
        t.failure = watch.failure;
        return t;
    }
    const auto& s = v->state;
    if (!sim::has_touchdown_figures(s) || (on_ground_at_start && c.survive_s > 0.0)) {
        if (c.survive_s <= 0.0)
            t.failure = over_sim_time(l);
        return t;
    }
    t.touched = true;
    t.autopilot_off = autopilot_off(w, *v);
    t.vertical_m_s = s.touchdown.vertical_m_s;
    t.horizontal_m_s = s.touchdown.horizontal_m_s;
    t.tilt_deg = s.touchdown.tilt_deg;
    t.propellant_kg = s.touchdown.propellant_kg;
    t.time_s = s.touchdown.time_s;
    return t;
}

}  // namespace

}  // namespace app
