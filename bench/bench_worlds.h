// Worlds for the benchmarks: a scenario of the project loaded with this build's modules, and
// flown forward to a moment of the descent.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "sim/scenario.h"
#include "sim/world.h"

namespace bench {

constexpr double kFrame_s = 0.02;  // 50 frames per simulated second
constexpr double kFramesPerSimSecond = 1.0 / kFrame_s;
constexpr double kTimeLimit_s = 3600.0;

// A world with a scenario of scenarios/ loaded; null, with the benchmark skipped, on failure.
std::unique_ptr<sim::World> load(benchmark::State& state, const std::string& scenario);

// Frames per second of CPU time and the speed-up over real time at kFrame_s.
void report_frames(benchmark::State& state, double frames);

}  // namespace bench
