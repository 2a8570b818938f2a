// The plot of a Monte Carlo study, as a PNG.
#pragma once

#include <string>
#include <vector>

#include "apps/montecarlo_csv.h"
#include "apps/montecarlo_identity.h"

namespace app {

// The distribution of the touchdown speeds, vertical and horizontal, each with its limit.
bool write_study_plot(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                      const std::string& path, std::string& error);

}  // namespace app
