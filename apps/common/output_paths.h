// The files a command writes, checked before anything is flown or opened for writing: none of
// them may be a file the command reads (the scenario, the CSVs it merges, a module library, the
// program itself) or another of its outputs, compared by file identity rather than by spelling;
// each must be a file that can be replaced.
#pragma once

#include <string>
#include <vector>

#include "sim/module_loader.h"

namespace app {

// A file a command names, with what it is to the command: "--telemetry", "the scenario it
// reads".
struct PathUse {
    std::string what;
    std::string path;
};

// What every command reads besides its own inputs: the program and the libraries loaded into
// it, and every module library in each of the module folders.
std::vector<PathUse> program_inputs(const sim::ModulePath& modules);

// True when the two paths name the same file: the same file on disk (links followed) or, for
// files that do not exist yet, the same place.
bool same_file(const std::string& a, const std::string& b);

// Empty when the outputs are sound; otherwise one line saying which output is at fault and why.
std::string check_output_paths(const std::vector<PathUse>& outputs,
                               const std::vector<PathUse>& inputs);

}  // namespace app
