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

namespace {

// Validators whose messages name the bound instead of the largest double.
const CLI::Validator kPositive(
    [](const std::string& text) {
        double v = 0.0;
        return CLI::detail::lexical_cast(text, v) && v > 0.0 ? std::string()
                                                             : "must be more than 0";
    },
    "");
const CLI::Validator kNonNegative(
    [](const std::string& text) {
        double v = 0.0;
        return CLI::detail::lexical_cast(text, v) && v >= 0.0 ? std::string() : "must be 0 or more";
    },
    "");

const CLI::Validator kAtMostTenth(
    [](const std::string& text) {
        double v = 0.0;
        return CLI::detail::lexical_cast(text, v) && v <= 0.1 ? std::string()
                                                              : "must be at most 0.1";
    },
    "");

}  // namespace

ParseOutcome parse_command_line(int argc, const char* const* argv, RunOptions& o, std::ostream& out,
                                std::ostream& err) {
    auto usage_error = [&](const std::string& what) {
        err << "vesselsim: " << what << "\n" << usage_line() << "\n";
        return ParseOutcome::usage_error;
    };
    if (argc > 1 && argv[1][0] != '-' && std::string(argv[1]) != "run")
        return usage_error(std::string("unknown command ") + argv[1] +
                           " (the commands are run, describe, montecarlo and montecarlo-merge)");

    CLI::App app{"vesselsim: runs vessel modules in the headless stand-in simulator", "vesselsim"};
    app.require_subcommand(1);
    CLI::App* run = app.add_subcommand("run", "run a scenario file");
    double until = -1.0;
    std::vector<std::string> key_texts;
    run->add_option("SCENARIO", o.scenario, "scenario file")->required()->type_name("FILE");
    run->add_option("--until", until,
                    "stop at this simulation time (default: once every vessel has rested on the "
                    "ground for 10 s, at most an hour)")
        ->check(kNonNegative)
        ->type_name("SECONDS");
    run->add_option("--dt", o.dt_s, "frame length, at most 0.1 (default 0.02)")
        ->check(kPositive & kAtMostTenth)
        ->type_name("SECONDS");
    run->add_option("--time-accel", o.time_accel,
                    "time acceleration: each frame advances dt*X seconds")
        ->check(kPositive)
        ->type_name("X");
    // One value per --key, so that a scenario named after it is not taken for a key.
    run->add_option("--key", key_texts,
                    "press and release a key on the focus vessel, e.g. 12.5:Ctrl+J")
        ->allow_extra_args(false)
        ->type_name("TIME:KEY");
    run->add_option("--save", o.save_path, "write the final state as a scenario file")
        ->type_name("FILE");
    run->add_option("--telemetry", o.telemetry_path, "write one CSV row per frame and vessel")
        ->type_name("FILE.csv");
    run->add_option(
           "--plot", o.plot_path,
           "plot of the focus vessel's height, vertical speed, engine levels and propellant")
        ->type_name("FILE.png");
    run->add_option("--hud", o.hud_path, "HUD image of the focus vessel (not available yet)")
        ->type_name("FILE.png");
    run->add_flag("--verbose", o.verbose, "copy the log to stderr");
    run->add_option("--modules", o.modules_dir,
                    "folder of the module libraries (default: the "
                    "build's modules folder beside bin/)")
        ->type_name("DIR");
    add_start_options(*run, o.start);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << usage_line() << "\n\n" << (run->parsed() ? run->help() : app.help());
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
    if (!o.hud_path.empty())
        return usage_error("--hud: not available yet");
    return ParseOutcome::run;
}

}  // namespace app
