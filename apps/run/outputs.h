// The files a run writes, and the checks they pass before anything is flown.
#pragma once

#include <string>
#include <vector>

#include "apps/common/output_paths.h"
#include "apps/run/options.h"

namespace app {

// The log file sits beside the run's first output: telemetry, else the saved scenario, else the
// summary, with the extension ".log". Empty when the run writes none of them.
std::string log_path(const RunOptions& o);

// Every output of a run with what it is ("--telemetry", "the log"...), in the order given.
std::vector<PathUse> run_outputs(const RunOptions& o);

// The checks of a run: its outputs against its scenario, the program and the modules; a save
// goes only onto a plain file.
std::string check_outputs(const RunOptions& o);

}  // namespace app
