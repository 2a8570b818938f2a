// Numbers as text, for scenario files, traces and the program's lines.
#pragma once

#include <string>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// Shortest text that reads back to the same double.
std::string format_double(double v);
// A number with a fixed count of decimals ("%.*f"), however many digits it needs.
std::string format_fixed(double v, int decimals);

SIM_API_END
}  // namespace sim
