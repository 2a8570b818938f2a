// The stand-in's standard vessel lines: the state every vessel block may carry whatever its
// module (status, position, velocity, attitude, attachment, propellant...). The lines and their
// units are listed in docs/scenario-format.md.
#pragma once

#include <string>

#include "sim/scenario_block.h"

namespace sim {

// The closest a vessel may be placed to its body's centre, where gravity is still finite.
constexpr double kMinCentreDistance_m = 1.0;

enum class LineResult {
    parsed,     // a standard line, read into the pending status
    unknown,    // no standard keyword: the caller warns
    malformed,  // a standard keyword with a bad value: the load fails
};

// Reads one standard line into pending. Anything but parsed comes with a message in error.
LineResult parse_standard_line(const Vessel& v, const char* line, PendingStatus& pending,
                               std::string& error);

// Writes the standard lines of a vessel's current state.
void write_standard_lines(const Vessel& v, ScenarioWriteBlock& out);

}  // namespace sim
