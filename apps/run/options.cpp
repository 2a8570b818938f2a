#include "apps/run/options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>

#include "apps/common/module_folders.h"
#include "apps/common/option_checks.h"
#include "apps/common/platform_files.h"
#include "apps/common/version.h"
#include "sim/clock_limits.h"
#include "sim/number_text.h"
#include "sim/trace.h"

namespace app {

std::string usage_line() {
    return "usage: vesselsim run SCENARIO [--until SECONDS] [--dt SECONDS] [--time-accel X] "
           "[--max-step S] [--contact-step S] "
           "[--key TIME:[VESSEL:]KEY]... [--focus NAME] [--save FILE] [--telemetry FILE.csv] "
           "[--summary FILE.json] [--plot FILE.png] [--hud FILE.png [--hud-size WxH]] "
           "[--replay FILE.html] [--verbose] [--strict] [--max-wall-time S] [--max-memory MB] "
           "[--modules " +
           std::string(folder_list_usage) + "]...";
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
    if (std::size_t vessel_end = k.text.find(':'); vessel_end != std::string::npos) {
        k.vessel = k.text.substr(0, vessel_end);
        k.text = k.text.substr(vessel_end + 1);
        if (k.vessel.empty() || k.text.find(':') != std::string::npos)
            return false;
    }
    if (!sim::parse_key(k.text, k.key))
        return false;
    key = k;
    return true;
}

bool parse_hud_size(const std::string& text, sim::HudSize& size) {
    auto side = [](const char* first, const char* last, int& out) {
        auto [p, ec] = std::from_chars(first, last, out);
        return ec == std::errc() && p == last && out >= 1 && out <= kMaxHudSide;
    };
    std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const char* s = text.data();
    sim::HudSize read;
    if (!side(s, s + x, read.width) || !side(s + x + 1, s + text.size(), read.height))
        return false;
    size = read;
    return true;
}

ParseOutcome parse_command_line(int argc, const char* const* argv, RunOptions& o, std::ostream& out,
                                std::ostream& err, const ProgramCommands& program) {
    auto usage_error = [&](const std::string& what) {
        report_usage_error(err, what, usage_line());
        return ParseOutcome::usage_error;
    };

    CLI::App app{"vesselsim: runs vessel modules in the headless stand-in simulator", "vesselsim"};
    app.require_subcommand(1);
    // Taken alone before any parsing (apps/commands.cpp); here so that the help lists it.
    bool version = false;
    app.add_flag("--version", version, "print the program's version and exit");
    CLI::App* run = nullptr;
    for (const ProgramCommands::Command& c : program.commands) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        if (std::string(c.name) == "run")
            run = sub;
        else
            sub->allow_extras();  // parsed by its own command
    }
    double until = -1.0;
    std::vector<std::string> key_texts;
    run->add_option("SCENARIO", o.scenario, "scenario file")->required()->type_name("FILE");
    run->add_option("--until", until,
                    "stop at this simulation time (default: once every vessel has rested on the "
                    "ground for 10 s, at most an hour)")
        ->check(finite_within(0.0, sim::kMaxSimTime_s))
        ->type_name("SECONDS");
    run->add_option("--dt", o.dt_s,
                    "frame length, " + sim::format_double(sim::kMinFrame_s) + " to " +
                        sim::format_double(sim::kMaxFrame_s) + " (default 0.02)")
        ->check(finite_within(sim::kMinFrame_s, sim::kMaxFrame_s))
        ->type_name("SECONDS");
    run->add_option("--max-step", o.max_step_s,
                    "the motion's longest internal step in free flight, 1e-5 to 0.1 (default "
                    "0.02); shorter steps trade speed for accuracy")
        ->check(finite_within(1e-5, 0.1))
        ->type_name("SECONDS");
    run->add_option("--contact-step", o.contact_step_s,
                    "the motion's internal step near the ground, 1e-5 to 0.01 (default 0.001)")
        ->check(finite_within(1e-5, 0.01))
        ->type_name("SECONDS");
    run->add_option("--max-wall-time", o.max_wall_s,
                    "end the run as failed once it has taken this much wall time, also inside a "
                    "module callback that does not return (default 0: no limit)")
        ->check(finite_within(0.0, 1e7))
        ->type_name("SECONDS");
    run->add_option("--max-memory", o.max_memory_mb,
                    "end the run as failed once its flight has taken this much memory on top of "
                    "what the program and its modules hold at the start (default 0: no limit)")
        ->check(finite_within(0.0, 1e9))
        ->type_name("MB");
    run->add_option("--time-accel", o.time_accel,
                    "time acceleration: each frame advances dt*X seconds, X from " +
                        sim::format_double(sim::kMinTimeAccel) + " to " +
                        sim::format_double(sim::kMaxTimeAccel) +
                        " (default: the scenario's TimeAccel, else 1)")
        ->check(finite_within(sim::kMinTimeAccel, sim::kMaxTimeAccel))
        ->type_name("X");
    // One value per --key, so that a scenario named after it is not taken for a key.
    run->add_option("--key", key_texts,
                    "press and release a key on the focus vessel, e.g. 12.5:Ctrl+J, or on a "
                    "vessel named before the key, e.g. 12.5:Tevlan:Ctrl+J")
        ->allow_extra_args(false)
        ->type_name("TIME:[VESSEL:]KEY");
    run->add_option("--focus", o.focus, "give this vessel the focus at the start")
        ->type_name("NAME");
    run->add_option("--save", o.save_path, "write the final state as a scenario file")
        ->check(output_path())
        ->type_name("FILE");
    run->add_option("--telemetry", o.telemetry_path, "write one CSV row per frame and vessel")
        ->check(output_path())
        ->type_name("FILE.csv");
    run->add_option(
           "--plot", o.plot_path,
           "plot of the focus vessel's height, vertical speed, engine levels and propellant")
        ->check(output_path())
        ->type_name("FILE.png");
    CLI::Option* hud =
        run->add_option("--hud", o.hud_path, "picture of the focus vessel's HUD at the end")
            ->check(output_path())
            ->type_name("FILE.png");
    std::string hud_size;
    run->add_option("--hud-size", hud_size, "size of the HUD picture (default 1024x768)")
        ->needs(hud)
        ->type_name("WxH");
    run->add_option("--replay", o.replay_path,
                    "write a page that replays the run in 3-D in a browser (self-contained)")
        ->check(output_path())
        ->type_name("FILE.html");
    run->add_option("--summary", o.summary_path,
                    "write the outcome as JSON: how the run ended, each vessel's state")
        ->check(output_path())
        ->type_name("FILE.json");
    run->add_flag("--verbose", o.verbose, "copy the log to stderr");
    run->add_flag("--strict", o.strict,
                  "make warnings (unknown scenario lines, bad arguments from a module, a vessel "
                  "without mass) errors");
    std::vector<std::string> module_lists;
    run->add_option("--modules", module_lists,
                    "folders of module libraries, searched first (repeatable, or a list "
                    "DIR:DIR); then VESSELSIM_MODULES, then the program's own modules folder")
        ->allow_extra_args(false)
        ->type_name(folder_list_usage);
    add_start_options(*run, o.start);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        if (run->parsed())
            out << usage_line() << "\n\n" << run->help();
        else
            out << program.usage << "\n" << app.help();
        return ParseOutcome::done;
    } catch (const CLI::ParseError& e) {
        return usage_error(e.what());
    }
    if (version) {
        out << "vesselsim " << kVersion << "\n";
        return ParseOutcome::done;
    }
    if (until >= 0.0)
        o.until_s = until;
    o.modules_dir = join_folders(module_lists);
    for (const std::string& t : key_texts) {
        TimedKey k;
        if (!parse_timed_key(t, k))
            return usage_error("--key " + t +
                               ": expected TIME:[VESSEL:]KEY, e.g. 12.5:Ctrl+J or 12.5:Tevlan:P");
        o.keys.push_back(k);
    }
    if (!hud_size.empty() && !parse_hud_size(hud_size, o.hud_size))
        return usage_error("--hud-size " + hud_size + ": expected WxH in pixels, e.g. 1024x768, " +
                           "each from 1 to " + std::to_string(kMaxHudSide));
    return ParseOutcome::run;
}

}  // namespace app
