// `vesselsim montecarlo` and `vesselsim montecarlo-merge`: a study of the landing envelope over
// dispersed start conditions, run in parallel processes, in shards over several machines.
#pragma once

#include <string>
#include <vector>

#include "apps/montecarlo/csv.h"
#include "apps/montecarlo/identity.h"

namespace app {

// Both return the exit status: 0 on success, 1 on a scenario or file error, 2 on a usage error.
int montecarlo_command(int argc, const char* const* argv);
int montecarlo_merge_command(int argc, const char* const* argv);

std::string montecarlo_usage();
std::string montecarlo_merge_usage();

// The end of a study and of a merge: the table on stdout, then the CSV (whole, the rows in run
// order) and the plot the options name. Returns the exit status.
int finish_study(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                 const std::string& program, const std::string& modules_dir,
                 const std::string& csv_path, const std::string& plot_path);

}  // namespace app
