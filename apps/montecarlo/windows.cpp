// montecarlo flies each run in a process of its own, forked from the program: the Windows build
// has no such commands and says so.
#include <iostream>

#include "apps/common/program_errors.h"
#include "apps/montecarlo/command.h"

namespace app {

namespace {

int linux_only(const char* command) {
    std::cerr << kProgramPrefix << command
              << " runs on Linux only; the Windows build has run and describe\n";
    return kExitUsage;
}

}  // namespace

int montecarlo_command(int, const char* const*) {
    return linux_only("montecarlo");
}

int montecarlo_merge_command(int, const char* const*) {
    return linux_only("montecarlo-merge");
}

std::string montecarlo_usage() {
    return "vesselsim montecarlo: Linux only";
}

std::string montecarlo_merge_usage() {
    return "vesselsim montecarlo-merge: Linux only";
}

}  // namespace app
