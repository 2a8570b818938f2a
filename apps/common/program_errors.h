// How a command ends and says why: the program's exit statuses, and its messages on stderr, each
// under the program's name.
#pragma once

#include <ostream>
#include <string>

namespace app {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // scenario, module or run error
constexpr int kExitUsage = 2;

// The start of every line the program writes on stderr of its own.
inline constexpr const char* kProgramPrefix = "vesselsim: ";

// "vesselsim: WHAT", control bytes escaped; returns kExitFailure.
int report_failure(std::ostream& err, const std::string& what);
// "vesselsim: WHAT", then the command's usage; returns kExitUsage.
int report_usage_error(std::ostream& err, const std::string& what, const std::string& usage);

}  // namespace app
