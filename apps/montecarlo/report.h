// The report of a Monte Carlo study: the success rate, the percentiles of the touchdown figures,
// and for each failed run the command that replays it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "apps/montecarlo/csv.h"
#include "apps/montecarlo/identity.h"

namespace app {

// The value at or below which p percent of the values lie (nearest rank), from the sorted
// values; for p = 100 the largest.
double percentile(const std::vector<double>& sorted, double p);

// The `vesselsim run` command that replays a run; program is the program as it was invoked.
std::string replay_command(const std::string& program, const std::string& modules_dir,
                           const StudyRow& row, const RunLimits& limits = {});

// What a success is under the identity's criteria, as the table's success line says it.
std::string success_rule(const StudyIdentity& id);

// Rows in run order, judged by the identity's criteria.
void write_report(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                  const std::string& program, const std::string& modules_dir, std::ostream& out);

}  // namespace app
