// The report of a Monte Carlo study: the success rate, the percentiles of the touchdown figures,
// and for each failed run the command that replays it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "apps/montecarlo_csv.h"

namespace app {

// The value at or below which p percent of the values lie (nearest rank), from the sorted
// values; for p = 100 the largest.
double percentile(const std::vector<double>& sorted, double p);

// The `vesselsim run` command that replays a run; program is the program as it was invoked.
std::string replay_command(const std::string& program, const std::string& modules_dir,
                           const StudyRow& row);

// Rows in run order.
void write_report(const std::vector<StudyRow>& rows, const std::string& program,
                  const std::string& modules_dir, std::ostream& out);

// The distribution of the touchdown speeds, vertical and horizontal, as a PNG.
bool write_speed_histogram(const std::vector<StudyRow>& rows, const std::string& path,
                           std::string& error);

}  // namespace app
