#include "apps/run_loop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "apps/descent_plot.h"
#include "apps/output_paths.h"
#include "apps/pad_plot.h"
#include "apps/pad_watch.h"
#include "apps/summary.h"
#include "apps/telemetry.h"
#include "sim/frames.h"
#include "sim/hud.h"
#include "sim/keyboard.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace app {

namespace {

constexpr double kRestSpeed_m_s = 0.1;  // below this ground speed a vessel on the ground rests
constexpr double kRestNeeded_s = 10.0;
constexpr double kTimeLimit_s = 3600.0;  // without --until

const sim::Vessel& root_of(const sim::Vessel& v) {
    const sim::Vessel* r = &v;
    while (r->parent()) r = r->parent();
    return *r;
}

bool resting(const sim::World& w, const sim::Vessel& v) {
    const sim::Vessel& r = root_of(v);
    return (r.state.landed || r.state.ground_contact) &&
           sim::length(sim::ground_velocity(w, r)) < kRestSpeed_m_s;
}

std::string time_prefix(double t_s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%9.2f  ", t_s);
    return buf;
}

// The focus vessel's HUD as it is at the end of the run.
bool write_hud(sim::World& w, const RunOptions& o, std::string& error) {
    sim::Vessel* focus = w.focus();
    if (!focus) {
        error = "--hud: no focus vessel to draw the HUD of";
        return false;
    }
    return sim::write_hud_png(sim::draw_hud(w, *focus, o.hud_size), o.hud_size, o.hud_path, error);
}

}  // namespace

std::string default_module_dir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "modules";
    return (exe.parent_path().parent_path() / "modules").string();
}

bool send_key(sim::World& w, const TimedKey& k) {
    sim::Vessel* v = w.focus();
    if (!v)
        return false;
    w.event("key " + k.text + " pressed on " + v->name());
    auto state = sim::keyboard_state(k.key);
    sim::deliver_key(*v, k.key.code, true, state.data());
    state[k.key.code] = 0;  // the key comes up, the modifiers are still held
    sim::deliver_key(*v, k.key.code, false, state.data());
    return true;
}

void RestWatch::update(const sim::World& w, double dt_s) {
    // One entry per vessel in index order; an entry whose vessel changed starts again. The
    // storage is reused from frame to frame.
    const auto& vessels = w.vessels();
    rested_s_.resize(vessels.size(), {nullptr, 0.0});
    for (std::size_t i = 0; i < vessels.size(); ++i) {
        auto& [id, seconds] = rested_s_[i];
        if (id != vessels[i].get()) {
            id = vessels[i].get();
            seconds = 0.0;
        }
        seconds = resting(w, *vessels[i]) ? seconds + dt_s : 0.0;
    }
}

bool RestWatch::all_rested(const sim::World& w, double seconds) const {
    const auto& vessels = w.vessels();
    if (rested_s_.size() != vessels.size())
        return false;
    for (std::size_t i = 0; i < vessels.size(); ++i)
        // Frame lengths add up with rounding errors.
        if (rested_s_[i].first != vessels[i].get() || rested_s_[i].second < seconds - 1e-9)
            return false;
    return true;
}

int run(const RunOptions& o, std::ostream& out, std::ostream& err) {
    sim::World w(o.modules_dir.empty() ? default_module_dir() : o.modules_dir);
    // The log file is opened once the scenario has been read, and gets the lines logged so far.
    std::ofstream log_file;
    w.log_sink = [&](const std::string& line) {
        if (log_file.is_open())
            log_file << line << "\n";
        if (o.verbose || line.rfind("warning: ", 0) == 0)
            err << line << "\n";
    };
    w.event_sink = [&](double t_s, const std::string& text) {
        out << time_prefix(t_s) << text << "\n";
    };

    sim::ScenarioInfo info;
    std::string error;
    if (!sim::load_scenario(w, o.scenario, error, &info)) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    if (std::string path = log_path(o); !path.empty()) {
        log_file.open(path, std::ios::trunc);
        if (!log_file) {
            err << "vesselsim: cannot write the log " << path << ": " << std::strerror(errno)
                << "\n";
            return kExitFailure;
        }
        for (const std::string& line : w.log_lines()) log_file << line << "\n";
    }
    if (!apply_start_overrides(w, o.start, error)) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    if (o.time_accel)
        w.clock.time_accel = *o.time_accel;
    Telemetry telemetry;
    if (!o.telemetry_path.empty() && !telemetry.open(o.telemetry_path, error)) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }

    std::vector<TimedKey> keys = o.keys;
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.time_s < b.time_s; });
    std::size_t next_key = 0;
    const double start_s = w.clock.t_s;
    const double frame_s = o.dt_s * w.clock.time_accel;
    const double end_s = o.until_s ? *o.until_s : start_s + kTimeLimit_s;
    // Frame lengths add up with rounding errors; a remainder this small is no frame.
    const double slack_s = std::min(1e-6, frame_s * 1e-3);
    FlightPlot plot;
    // A scenario with a launch pad is plotted as the pad's launch.
    PadPlot pad_plot;
    const bool pad_run = pad_plot.start(w);
    PadWatch pads;
    pads.start(w);
    auto sample_plot = [&] {
        if (o.plot_path.empty())
            return;
        if (pad_run)
            pad_plot.sample(w);
        else
            plot.sample(w);
    };
    RestWatch rest;
    rest.update(w, 0.0);
    RunEnd why = RunEnd::time_limit;
    auto wall_start = std::chrono::steady_clock::now();
    auto telemetry_failed = [&] {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    };
    try {
        if (!telemetry.write_rows(w, error))
            return telemetry_failed();
        sample_plot();
        while (true) {
            if (w.clock.t_s >= end_s - slack_s) {
                why = o.until_s ? RunEnd::until : RunEnd::time_limit;
                break;
            }
            if (!o.until_s && rest.all_rested(w, kRestNeeded_s)) {
                why = RunEnd::all_rested;
                break;
            }
            for (; next_key < keys.size() && keys[next_key].time_s <= w.clock.t_s + slack_s;
                 ++next_key)
                if (!send_key(w, keys[next_key]))
                    err << "vesselsim: key " << keys[next_key].text
                        << " not sent: no focus vessel\n";
            double dt = std::min(frame_s, end_s - w.clock.t_s);
            if (!(w.clock.t_s + dt > w.clock.t_s)) {
                err << "vesselsim: the clock cannot advance from " << w.clock.t_s
                    << " s by a frame of " << dt << " s\n";
                return kExitFailure;
            }
            w.step(dt);
            pads.update(w);
            rest.update(w, dt);
            if (!telemetry.write_rows(w, error))
                return telemetry_failed();
            sample_plot();
        }
    } catch (const sim::NonFiniteState& e) {
        err << "vesselsim: " << e.what() << "\n";
        return kExitFailure;
    }
    double wall_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    for (; next_key < keys.size(); ++next_key)
        err << "vesselsim: key " << keys[next_key].text << " at " << keys[next_key].time_s
            << " s not sent: the run ended at " << w.clock.t_s << " s\n";
    write_summary(w, why, w.clock.t_s - start_s, wall_s, out);
    if (!telemetry.close(error))
        return telemetry_failed();
    if (!o.plot_path.empty() &&
        !(pad_run ? pad_plot.write(o.plot_path, error) : plot.write(w, o.plot_path, error))) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    if (!o.hud_path.empty() && !write_hud(w, o, error)) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    if (!o.save_path.empty() && !sim::save_scenario(w, o.save_path, info, error)) {
        err << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace app
