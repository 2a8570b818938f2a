// The stand-in's standard vessel lines: the state every vessel block may carry whatever its
// module (status, position, velocity, attitude, attachment, propellant...).
#pragma once

#include <string>

#include "sim/scenario_block.h"

namespace sim {

// Reads one standard line into pending. False with a message when the line is not a standard
// line or its value is malformed.
bool parse_standard_line(const Vessel& v, const char* line, PendingStatus& pending,
                         std::string& error);

// Writes the standard lines of a vessel's current state.
void write_standard_lines(const Vessel& v, ScenarioWriteBlock& out);

}  // namespace sim
