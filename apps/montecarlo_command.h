// `vesselsim montecarlo` and `vesselsim montecarlo-merge`: a study of the landing envelope over
// dispersed start conditions, run in parallel processes, in shards over several machines.
#pragma once

#include <string>

namespace app {

// Both return the exit status: 0 on success, 1 on a scenario or file error, 2 on a usage error.
int montecarlo_command(int argc, const char* const* argv);
int montecarlo_merge_command(int argc, const char* const* argv);

std::string montecarlo_usage();
std::string montecarlo_merge_usage();

}  // namespace app
