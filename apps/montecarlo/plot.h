// The plot of a Monte Carlo study, as a PNG.
#pragma once

#include <string>
#include <vector>

#include "apps/montecarlo/csv.h"
#include "apps/montecarlo/identity.h"

namespace app {

// Histograms of the touchdown figures (vertical and horizontal speed, tilt, propellant left),
// each with its limit, the successful runs in green on the failed ones in red; then each
// dispersion against the touchdown vertical speed, so that the one that drives failures shows.
bool write_study_plot(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                      const std::string& path, std::string& error);

}  // namespace app
