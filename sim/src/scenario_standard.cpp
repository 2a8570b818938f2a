// Standard vessel lines of scenario files.
#include "sim/scenario_standard.h"

namespace sim {

bool parse_standard_line(const Vessel&, const char* line, PendingStatus&, std::string& error) {
    error = std::string("unknown line: ") + line;
    return false;
}

void write_standard_lines(const Vessel&, ScenarioWriteBlock&) {}

}  // namespace sim
