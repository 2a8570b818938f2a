// The files a run writes, checked before anything is opened: none of them may be the scenario
// it reads or another of its outputs, and a save goes only onto a plain file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "apps/run_options.h"

namespace app {

// The log file sits beside the run's first output: telemetry, else the saved scenario, with
// the extension ".log". Empty when the run writes neither.
std::string log_path(const RunOptions& o);

// Every output of a run with what it is ("--telemetry", "the log"...), in the order given.
std::vector<std::pair<std::string, std::string>> run_outputs(const RunOptions& o);

// True when the two paths name the same file: the same file on disk (links followed) or, for
// files that do not exist yet, the same place.
bool same_file(const std::string& a, const std::string& b);

// Empty when the outputs are sound; otherwise one line saying which output is at fault.
std::string check_outputs(const RunOptions& o);

}  // namespace app
