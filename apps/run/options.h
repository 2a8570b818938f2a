// The options of `vesselsim run`, and their parsing.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "apps/common/program_errors.h"
#include "apps/run/start_overrides.h"
#include "sim/hud.h"
#include "sim/keyboard.h"

namespace app {

// A key the user asks for at a simulation time, as typed: "12.5:Ctrl+J", or aimed at a vessel,
// "12.5:Tevlan:Ctrl+J".
struct TimedKey {
    double time_s = 0.0;
    std::string vessel;  // empty: the focus vessel
    std::string text;    // the key as typed, e.g. "Ctrl+J"
    sim::KeyPress key;
};

struct RunOptions {
    std::string scenario;
    std::optional<double> until_s;  // simulation time to stop at; none: run until all rest
    double dt_s = 0.02;             // frame length before time acceleration
    // The motion's internal steps, in free flight and near the ground; none: the stand-in's.
    std::optional<double> max_step_s, contact_step_s;
    double max_wall_s = 0.0;           // wall time the run may take; 0: no limit
    double max_memory_mb = 0.0;        // memory the flight may take on top; 0: no limit
    std::optional<double> time_accel;  // none: the scenario's, else 1
    std::vector<TimedKey> keys;        // in the order given
    std::string focus;         // the vessel given the focus at the start; empty: the scenario's
    std::string summary_path;  // the outcome as JSON
    bool strict = false;       // warnings and unknown scenario lines are errors
    std::string save_path, telemetry_path, plot_path, hud_path;
    std::string replay_path;  // the 3-D replay page
    sim::HudSize hud_size;    // of the HUD picture, pixels
    // The --modules folders, colon-separated, in the order given; empty for none. The search
    // goes on in VESSELSIM_MODULES and the program's own folder (apps/common/module_folders.h).
    std::string modules_dir;
    bool verbose = false;
    StartOverrides start;  // changes to the scenario's start
};

enum class ParseOutcome {
    run,          // options complete: run the scenario
    done,         // help printed: exit 0
    usage_error,  // message and usage line printed: exit 2
};

// The program's commands, for the help of the program as a whole: the run command's parser
// prints it, as a command line without a command runs a scenario.
struct ProgramCommands {
    struct Command {
        const char* name;
        const char* summary;
    };
    std::vector<Command> commands;
    std::string usage;  // every command's usage lines
};

// Parses the command line of the run command; help goes to out, usage errors to err. The
// outputs it names are checked apart (apps/run/outputs.h).
ParseOutcome parse_command_line(int argc, const char* const* argv, RunOptions& options,
                                std::ostream& out, std::ostream& err,
                                const ProgramCommands& program);

// "TIME:[VESSEL:]KEY" with TIME 0 or more seconds, VESSEL a vessel's name (no colon) and KEY as
// sim::parse_key reads it.
bool parse_timed_key(const std::string& text, TimedKey& key);

// "WxH", e.g. "1024x768": width and height in pixels, each 1 to kMaxHudSide.
bool parse_hud_size(const std::string& text, sim::HudSize& size);
constexpr int kMaxHudSide = 16384;

std::string usage_line();

}  // namespace app
