#include "apps/run/command.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <variant>

#include "apps/common/memory_limit.h"
#include "apps/common/module_folders.h"
#include "apps/common/program_errors.h"
#include "apps/common/terminal_text.h"
#include "apps/run/descent_plot.h"
#include "apps/run/event_text.h"
#include "apps/run/outputs.h"
#include "apps/run/pad_plot.h"
#include "apps/run/pad_watch.h"
#include "apps/run/replay_output.h"
#include "apps/run/stop_signals.h"
#include "apps/run/summary.h"
#include "apps/run/summary_json.h"
#include "apps/run/telemetry.h"
#include "sim/crash_report.h"
#include "sim/flight.h"
#include "sim/hud.h"
#include "sim/hud_png.h"
#include "sim/keyboard.h"
#include "sim/number_text.h"
#include "sim/output_file.h"
#include "sim/replay.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace app {

namespace {

// Without --until, a run ends once every vessel has rested on the ground this long and every
// animation has stopped, or after the time limit.
constexpr double kSettleWait_s = 10.0;
constexpr double kTimeLimit_s = 3600.0;
// Frames longer than this leave modules steering too seldom for the contact and the autopilots.
constexpr double kSteeringFrame_s = 0.1;

// How the replay's timeline marks an event.
const char* event_kind(const sim::Event& e) {
    if (const auto* a = std::get_if<sim::event::Attach>(&e))
        return a->attached ? "attach" : "separation";
    if (std::holds_alternative<sim::event::Touchdown>(e))
        return "touchdown";
    if (std::holds_alternative<sim::event::Liftoff>(e))
        return "liftoff";
    if (std::holds_alternative<sim::event::Key>(e))
        return "key";
    return "other";
}

// One run of a scenario in its three parts: set-up, the frame loop, and the outputs. Each part
// returns false after writing its error.
class Run : private sim::FrameHooks {
  public:
    Run(const RunOptions& o, std::ostream& out, std::ostream& err, sim::OutputFile& log)
        : o_(o), out_(out), err_(err), log_file_(log), w_(module_path(o.modules_dir)) {}
    // The world's modules may still crash as they go: then the log alone is left to finish.
    ~Run() {
        sim::set_crash_hook([&log = log_file_](const std::string& r) { finish_log(log, r); });
    }

    bool set_up();
    bool fly();
    bool write_outputs();
    // After a failed flight: the telemetry up to the failure is kept, as it shows what happened.
    void keep_telemetry();
    // The outcome as JSON, when asked for, whether the run succeeded or not; false after writing
    // the error when it cannot be written.
    bool write_json_summary(int exit_status);
    // The exit status of a failed run: 128 plus the signal after an interruption, else 1.
    int failed_exit_status() const { return interrupted_ ? 128 + interrupted_ : kExitFailure; }

    // A module crashed: the log gets the report, and it, the telemetry up to the last whole
    // frame and the summary are put in place.
    void on_crash(const std::string& report) {
        keep_telemetry();
        const int status = sim::reported_exit_status();
        write_summary_file({o_.scenario, status == sim::kExitModuleCrash ? "crash" : "error",
                            report, status, start_s_},
                           false);
        finish_log(log_file_, report);
    }
    static void finish_log(sim::OutputFile& log, const std::string& report) {
        if (!log.is_open())
            return;
        log.write("error: " + report + "\n");
        std::string error;
        log.commit(error);
    }

  private:
    // Every error of the run goes to stderr and to the log, and the first is the run's error.
    bool fail(const std::string& error) {
        err_ << kProgramPrefix << terminal_text(error) << "\n";
        if (log_file_.is_open())
            log_file_.write("error: " + error + "\n");
        if (error_.empty())
            error_ = error;
        return false;
    }
    // With --strict, the first warning ends the run as an error.
    bool strict_ok() {
        return !o_.strict || first_warning_.empty() ||
               fail(first_warning_ + " (an error with --strict)");
    }
    bool set_focus_and_keys();
    bool write_summary_file(const RunOutcome& outcome, bool modules_sound);
    // A line of the run's events, at the frame's end unless the event has an instant of its
    // own within the frame (a touchdown); the replay gets it as well, with its frame.
    void print(const std::string& line, std::string_view kind = "other",
               std::optional<double> at_s = std::nullopt) {
        const double t_s = at_s.value_or(w_.clock.t_s);
        out_ << time_prefix(t_s) << terminal_text(line) << "\n";
        printed_ = true;
        if (kind == "separation" || kind == "touchdown" || kind == "liftoff" || kind == "launch")
            marks_.push_back({t_s, std::string(kind)});
        if (replay_) {
            replay_->event(w_.clock.t_s, std::string(kind), line);
            event_frame_ = true;
        }
    }
    // The frame loop's work at each boundary, before and after each frame.
    bool at_boundary() override;
    bool before_frame() override;
    bool after_frame(double dt_s) override;
    void send_keys_due(double slack_s);
    void sample_plot();
    bool write_hud(std::string& error);
    bool write_each_output();

    const RunOptions& o_;
    std::ostream& out_;
    std::ostream& err_;
    // The world's sinks write to these while it ends: they outlive it.
    sim::OutputFile& log_file_;
    EventText words_;
    sim::World w_;
    sim::ScenarioInfo info_;
    Telemetry telemetry_;
    std::vector<TimedKey> keys_;
    std::size_t next_key_ = 0;
    FlightPlot plot_;
    PadPlot pad_plot_;  // a scenario with a launch pad is plotted as the pad's launch
    bool pad_run_ = false;
    PadWatch pads_;
    std::optional<MemoryWatch> memory_;  // from the flight's start
    double slack_s_ = 0.0;
    RunEnd why_ = RunEnd::time_limit;
    double start_s_ = 0.0, wall_s_ = 0.0;
    std::string error_;          // the first error of the run
    std::string first_warning_;  // without its "warning: "
    std::unique_ptr<sim::ReplayRecorder> replay_;
    std::vector<PlotMark> marks_;  // separations, touchdowns, lift-offs and launches
    bool event_frame_ = false;     // an event since the last frame's sample
    bool printed_ = false;         // an event line since the last frame's end
    int interrupted_ = 0;          // the signal that stopped the run, or 0
};

bool Run::set_up() {
    sim::set_crash_hook([this](const std::string& report) { on_crash(report); });
    // The log file is opened once the scenario has been read, and gets the lines logged so far.
    // With --strict a warning is the run's error, told once as such.
    w_.log_sink = [this](const std::string& line) {
        log_file_.write(line + "\n");
        const bool warning = line.rfind("warning: ", 0) == 0;
        if (warning && first_warning_.empty())
            first_warning_ = line.substr(9);
        if (o_.verbose || (warning && !o_.strict))
            err_ << terminal_text(line) << "\n";
    };
    w_.event_sink = [this](double, const sim::Event& e) {
        const auto* touchdown = std::get_if<sim::event::Touchdown>(&e);
        print(words_(e), event_kind(e),
              touchdown ? std::optional<double>(touchdown->touchdown.time_s) : std::nullopt);
    };
    std::string error;
    try {
        if (!sim::load_scenario(w_, o_.scenario, error, &info_))
            return fail(error);
    } catch (const sim::ModuleFault& e) {
        return fail(e.what());
    }
    if (std::string path = log_path(o_); !path.empty()) {
        if (!log_file_.open(path, error))
            return fail(error);
        for (const std::string& line : w_.log_lines()) log_file_.write(line + "\n");
    }
    start_s_ = w_.clock.t_s;
    if (!strict_ok())
        return false;
    if (!apply_start_overrides(w_, o_.start, error))
        return fail(error);
    if (o_.time_accel)
        w_.clock.time_accel = *o_.time_accel;
    if (o_.max_step_s)
        w_.steps.free_s = *o_.max_step_s;
    if (o_.contact_step_s)
        w_.steps.contact_s = *o_.contact_step_s;
    if (!set_focus_and_keys())
        return false;
    if (!o_.telemetry_path.empty() && !telemetry_.open(o_.telemetry_path, error))
        return fail(error);
    pad_run_ = pad_plot_.start(w_);
    pads_.start(w_, words_);
    if (!o_.replay_path.empty()) {
        replay_ = std::make_unique<sim::ReplayRecorder>(replay_options());
        replay_->sample(w_, true);
    }
    return true;
}

// --focus, and the vessels keys are aimed at, are the scenario's.
bool Run::set_focus_and_keys() {
    try {
        if (!o_.focus.empty()) {
            sim::Vessel* v = w_.vessel(o_.focus);
            if (!v)
                return fail("--focus " + o_.focus + ": no vessel of that name in the scenario");
            w_.set_focus(v);
        }
    } catch (const sim::ModuleFault& e) {
        return fail(e.what());
    }
    for (const TimedKey& k : o_.keys)
        if (!k.vessel.empty() && !w_.vessel(k.vessel))
            return fail("--key " + k.text + " for " + k.vessel +
                        ": no vessel of that name in the scenario");
    keys_ = o_.keys;
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const auto& a, const auto& b) { return a.time_s < b.time_s; });
    return true;
}

void Run::send_keys_due(double slack_s) {
    for (; next_key_ < keys_.size() && keys_[next_key_].time_s <= w_.clock.t_s + slack_s;
         ++next_key_) {
        const TimedKey& k = keys_[next_key_];
        sim::Vessel* to = k.vessel.empty() ? w_.focus() : w_.vessel(k.vessel);
        if (!to) {
            err_ << kProgramPrefix << "key " << k.text << " not sent: no focus vessel\n";
            continue;
        }
        const std::string name = to->name();  // the module may take the vessel away
        print("key " + k.text + " pressed on " + name);
        bool taken = false;
        send_key(w_, k, &taken);
        print("key " + k.text + (taken ? " taken by " : " not taken by ") + name);
    }
}

void Run::sample_plot() {
    if (o_.plot_path.empty())
        return;
    if (pad_run_)
        pad_plot_.sample(w_, pads_);
    else
        plot_.sample(w_);
}

bool Run::fly() {
    const double frame_s = o_.dt_s * w_.clock.time_accel;
    if (frame_s > kSteeringFrame_s) {
        const std::string warning =
            "frames of " + sim::format_double(frame_s) + " s (--dt " + sim::format_double(o_.dt_s) +
            " x time acceleration " + sim::format_double(w_.clock.time_accel) +
            "): the modules steer only once a frame, and landings and launches go wrong past " +
            sim::format_double(kSteeringFrame_s) + " s";
        err_ << kProgramPrefix << "warning: " << warning << "\n";
        if (replay_)
            replay_->note(warning);
    }
    sim::Flight flight(w_, {frame_s, o_.until_s ? *o_.until_s : start_s_ + kTimeLimit_s,
                            o_.until_s ? 0.0 : kSettleWait_s, o_.max_wall_s});
    slack_s_ = flight.slack_s();
    memory_.emplace(o_.max_memory_mb);
    std::string error;
    try {
        if (!telemetry_.write_rows(w_, error))
            return fail(error);
        sample_plot();
        switch (flight.fly(*this)) {
            case sim::FlightEnd::end_time:
                why_ = o_.until_s ? RunEnd::until : RunEnd::time_limit;
                break;
            case sim::FlightEnd::rested:
                why_ = RunEnd::all_rested;
                break;
            case sim::FlightEnd::wall_time: {
                char at[96];
                std::snprintf(at, sizeof at,
                              "the run passed its wall time limit of %g s at t = %.3f s",
                              o_.max_wall_s, w_.clock.t_s);
                return fail(at);
            }
            case sim::FlightEnd::clock_stuck:
                err_ << kProgramPrefix << "the clock cannot advance from " << w_.clock.t_s
                     << " s by a frame of " << flight.stuck_frame_s() << " s\n";
                return false;
            case sim::FlightEnd::stopped:
                return false;  // a hook has said why
        }
        if (replay_)
            replay_->sample(w_, true);
    } catch (const sim::NonFiniteState& e) {
        return fail(e.what());
    } catch (const sim::ModuleFault& e) {
        return fail(e.what());
    }
    wall_s_ = flight.wall_s();
    for (; next_key_ < keys_.size(); ++next_key_)
        err_ << kProgramPrefix << "key " << keys_[next_key_].text << " at "
             << keys_[next_key_].time_s << " s not sent: the run ended at " << w_.clock.t_s
             << " s\n";
    return true;
}

bool Run::at_boundary() {
    // The event lines of each frame reach a file or a pipe as the frame ends, so that a run
    // killed outright loses at most the frame it was in.
    if (printed_) {
        out_.flush();
        printed_ = false;
    }
    if (std::string over = memory_->over(w_.clock.t_s); !over.empty())
        return fail(over);
    if (int sig = stop_signal()) {
        interrupted_ = sig;
        char at[48];
        std::snprintf(at, sizeof at, " at t = %.3f s", w_.clock.t_s);
        return fail(std::string("interrupted by ") + stop_signal_name(sig) + at);
    }
    return true;
}

bool Run::before_frame() {
    send_keys_due(slack_s_);
    return strict_ok();
}

bool Run::after_frame(double) {
    if (!strict_ok())
        return false;
    pads_.update(w_, [this](const std::string& line, const char* kind) { print(line, kind); });
    std::string error;
    if (!telemetry_.write_rows(w_, error))
        return fail(error);
    sample_plot();
    if (replay_)
        replay_->sample(w_, event_frame_);
    event_frame_ = false;
    return true;
}

// The focus vessel's HUD as it is at the end of the run.
bool Run::write_hud(std::string& error) {
    sim::Vessel* focus = w_.focus();
    if (!focus) {
        error = "--hud: no focus vessel to draw the HUD of";
        return false;
    }
    return sim::write_hud_png(sim::draw_hud(w_, *focus, o_.hud_size), o_.hud_size, o_.hud_path,
                              error);
}

bool Run::write_outputs() {
    // A module may fail as its scenario lines are saved: the run has then failed, and the log
    // and the summary still say so.
    try {
        return write_each_output();
    } catch (const sim::ModuleFault& e) {
        return fail(e.what());
    }
}

bool Run::write_each_output() {
    write_summary(w_, why_, w_.clock.t_s - start_s_, wall_s_, out_);
    std::string error;
    if (!telemetry_.close(error))
        return fail(error);
    if (!o_.plot_path.empty() && !(pad_run_ ? pad_plot_.write(o_.plot_path, error, marks_)
                                            : plot_.write(w_, o_.plot_path, error, marks_)))
        return fail(error);
    if (!o_.hud_path.empty() && !write_hud(error))
        return fail(error);
    if (!o_.save_path.empty() && !sim::save_scenario(w_, o_.save_path, info_, error))
        return fail(error);
    if (replay_ && !write_replay(*replay_, o_.replay_path, err_, error))
        return fail(error);
    return true;
}

void Run::keep_telemetry() {
    if (std::string error; !telemetry_.close(error))
        fail(error);
}

bool Run::write_summary_file(const RunOutcome& outcome, bool modules_sound) {
    if (o_.summary_path.empty())
        return true;
    std::string error;
    if (!sim::write_file_whole(o_.summary_path, summary_json(w_, outcome, modules_sound), error)) {
        err_ << kProgramPrefix << error << "\n";
        return false;
    }
    return true;
}

bool Run::write_json_summary(int exit_status) {
    const char* ended = interrupted_ ? "interrupted" : "error";
    if (interrupted_)
        exit_status = failed_exit_status();
    if (exit_status == kExitOk)
        switch (why_) {
            case RunEnd::until:
                ended = "until";
                break;
            case RunEnd::all_rested:
                ended = "rested";
                break;
            case RunEnd::time_limit:
                ended = "time_limit";
                break;
        }
    // The summary saves each vessel's lines: a module that fails there fails the run.
    try {
        return write_summary_file({o_.scenario, ended, error_, exit_status, start_s_}, true);
    } catch (const sim::ModuleFault& e) {
        if (exit_status == kExitOk)
            fail(e.what());
        write_summary_file({o_.scenario, "error", error_, kExitFailure, start_s_}, false);
        return false;
    }
}

}  // namespace

bool send_key(sim::World& w, const TimedKey& k, bool* taken) {
    sim::Vessel* v = k.vessel.empty() ? w.focus() : w.vessel(k.vessel);
    if (!v)
        return false;
    auto state = sim::keyboard_state(k.key);
    const int used = sim::deliver_key(*v, k.key.code, true, state.data());
    if (taken)
        *taken = used != 0;
    state[k.key.code] = 0;  // the key comes up, the modifiers are still held
    sim::deliver_key(*v, k.key.code, false, state.data());
    return true;
}

int run(const RunOptions& o, std::ostream& out, std::ostream& err) {
    // The log outlives the run's world, which may log as its modules unload; it records a
    // failed run as well as a finished one.
    if (std::string why = check_module_folders(o.modules_dir); !why.empty()) {
        err << kProgramPrefix << why << "\n";
        return kExitFailure;
    }
    sim::OutputFile log;
    bool ok = false;
    int failed_status = kExitFailure;
    watch_stop_signals();
    sim::arm_hang_report(o.max_wall_s);
    {
        Run r(o, out, err, log);
        if (r.set_up()) {
            ok = r.fly();
            if (ok)
                ok = r.write_outputs();
            else
                r.keep_telemetry();
        }
        if (!r.write_json_summary(ok ? kExitOk : kExitFailure))
            ok = false;
        failed_status = r.failed_exit_status();
    }
    sim::arm_hang_report(0.0);
    stop_watching_signals();
    sim::set_crash_hook(nullptr);
    if (std::string error; log.is_open() && !log.commit(error)) {
        err << kProgramPrefix << error << "\n";
        ok = false;
    }
    out.flush();
    return ok ? kExitOk : failed_status;
}

}  // namespace app
