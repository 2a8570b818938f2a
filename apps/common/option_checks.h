// Checks shared by every option of the program's commands: numbers must be finite and within
// their bounds, and a file must be named by a path that is not empty.
#pragma once

#include <CLI/CLI.hpp>

namespace app {

// A finite number from lo to hi. NaN and infinity are refused like any number out of range; the
// message names the bounds.
CLI::Validator finite_within(double lo, double hi);

// A path to write: an empty one names no file.
CLI::Validator output_path();

}  // namespace app
