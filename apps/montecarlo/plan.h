// The plan of a Monte Carlo study: for each run, its seed and the dispersed start conditions,
// drawn from the study's seed alone, so that any run, shard or number of jobs gives the same
// values.
#pragma once

#include <cstdint>
#include <string>

#include "apps/run/start_overrides.h"

namespace app {

// Ranges of the dispersions; each has a flag of `vesselsim montecarlo`.
struct DispersionRanges {
    double height_spread = 0.10;  // start height above the ground: ±10%
    double speed_spread = 0.20;   // start speed over the ground: ±20%
    double wind_max_m_s = 15.0;   // wind 0 to 15 m/s, from any direction
    double turn_max_deg = 10.0;   // carrier attitude turned up to ±10 degrees
    double dt_min_s = 0.01;       // frame length 0.01 to 0.05 s
    double dt_max_s = 0.05;
    double ground_offset_max_m = 2000.0;  // ground elevation ±2 km
};

// The conditions of one run, rounded to the decimals the CSV shows, so that the CSV and the
// replay command carry them exactly.
struct Dispersion {
    int run = 0;
    std::uint64_t seed = 0;
    double dt_s = 0.02;
    StartOverrides start;
};

Dispersion disperse(const DispersionRanges& r, std::uint64_t study_seed, int run);

// The runs [first, end) of shard k (1-based) of n.
struct RunRange {
    int first = 0, end = 0;
};
RunRange shard_runs(int runs, int k, int n);
// "K/N" with 1 <= K <= N.
bool parse_shard(const std::string& text, int& k, int& n);

}  // namespace app
