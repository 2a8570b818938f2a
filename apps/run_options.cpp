#include "apps/run_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>

namespace app {

std::string usage_line() {
    return "usage: vesselsim run SCENARIO [--until SECONDS] [--dt SECONDS] [--time-accel X] "
           "[--key TIME:KEY]... [--save FILE] [--telemetry FILE.csv] [--plot FILE.png] "
           "[--hud FILE.png] [--verbose] [--modules DIR]";
}

bool parse_timed_key(const std::string& text, TimedKey& key) {
    std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    double t = 0.0;
    const char* end = text.data() + colon;
    auto [p, ec] = std::from_chars(text.data(), end, t);
    if (ec != std::errc() || p != end || !std::isfinite(t) || t < 0.0)
        return false;
    TimedKey k;
    k.time_s = t;
    k.text = text.substr(colon + 1);
    if (!sim::parse_key(k.text, k.key))
        return false;
    key = k;
    return true;
}

ParseOutcome parse_command_line(int argc, const char* const* argv, RunOptions& o, std::ostream& out,
                                std::ostream& err) {
    CLI::App app{"vesselsim: runs vessel modules in the headless stand-in simulator", "vesselsim"};
    app.require_subcommand(1);
    CLI::App* run = app.add_subcommand("run", "run a scenario file");
    double until = -1.0;
    std::vector<std::string> key_texts;
    run->add_option("SCENARIO", o.scenario, "scenario file")->required();
    run->add_option("--until", until,
                    "stop at this simulation time, s (default: once every vessel "
                    "has rested on the ground for 10 s, at most an hour)")
        ->check(CLI::NonNegativeNumber);
    run->add_option("--dt", o.dt_s, "frame length, s (default 0.02)")->check(CLI::PositiveNumber);
    run->add_option("--time-accel", o.time_accel, "time acceleration: each frame advances dt*X s")
        ->check(CLI::PositiveNumber);
    run->add_option("--key", key_texts,
                    "press a key on the focus vessel at a time, e.g. 12.5:Ctrl+J")
        ->take_all();
    run->add_option("--save", o.save_path, "write the final state as a scenario file");
    run->add_option("--telemetry", o.telemetry_path, "write one CSV row per frame and vessel");
    run->add_option("--plot", o.plot_path, "plot of the run (not available yet)");
    run->add_option("--hud", o.hud_path, "HUD image of the focus vessel (not available yet)");
    run->add_flag("--verbose", o.verbose, "copy the log to stderr");
    run->add_option("--modules", o.modules_dir, "folder of the module libraries");

    auto usage_error = [&](const std::string& what) {
        err << "vesselsim: " << what << "\n" << usage_line() << "\n";
        return ParseOutcome::usage_error;
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << (run->parsed() ? run->help() : app.help());
        return ParseOutcome::done;
    } catch (const CLI::ParseError& e) {
        return usage_error(e.what());
    }
    if (until >= 0.0)
        o.until_s = until;
    for (const std::string& t : key_texts) {
        TimedKey k;
        if (!parse_timed_key(t, k))
            return usage_error("--key " + t + ": expected TIME:KEY, e.g. 12.5:Ctrl+J");
        o.keys.push_back(k);
    }
    if (!o.plot_path.empty())
        return usage_error("--plot: not available yet");
    if (!o.hud_path.empty())
        return usage_error("--hud: not available yet");
    return ParseOutcome::run;
}

}  // namespace app
