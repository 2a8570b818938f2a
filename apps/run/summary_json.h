// The outcome of a run as JSON (`vesselsim run --summary FILE.json`), for CI jobs to assert on
// with any JSON tool. The schema is in docs/vesselsim-program.md.
#pragma once

#include <string>

namespace sim {
class World;
}

namespace app {

struct RunOutcome {
    std::string scenario;
    std::string ended;  // "until", "rested", "time_limit", "error", "crash"
    std::string error;  // the line that ended a failed run, without "vesselsim: "
    int exit_status = 0;
    double start_s = 0.0;  // simulation time at the start
};

// The document. The lines each vessel's module saves are asked of it unless modules_sound is
// false (after a crash the module's state is not to be trusted).
std::string summary_json(sim::World& w, const RunOutcome& outcome, bool modules_sound);

// s as a JSON string, quotes included.
std::string json_string(const std::string& s);

}  // namespace app
