// Frames per second of wall time for the Mars descent: the carrier with the lander hanging on
// it, and the whole descent to rest on the ground (separation, powered descent, touchdowns).
// "x_real_time" is the speed-up over real time at 50 frames per simulated second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "sim/scenario.h"
#include "sim/world.h"

namespace {

constexpr double kFrame_s = 0.02;
constexpr double kFramesPerSimSecond = 1.0 / kFrame_s;

std::unique_ptr<sim::World> descent_world(benchmark::State& state) {
    auto w = std::make_unique<sim::World>(VESSELSIM_MODULE_DIR);
    std::string error;
    if (!sim::load_scenario(*w, std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/mars_descent.scn",
                            error)) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    return w;
}

void report(benchmark::State& state, double frames) {
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_real_time"] =
        benchmark::Counter(frames / kFramesPerSimSecond, benchmark::Counter::kIsRate);
}

// 1000 frames (20 s) from 10 km: two vessels, the lander attached.
void BM_AttachedDescent(benchmark::State& state) {
    double frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = descent_world(state);
        state.ResumeTiming();
        if (!w)
            break;
        for (int i = 0; i < 1000; ++i) w->step(kFrame_s);
        frames += 1000;
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    report(state, frames);
}
BENCHMARK(BM_AttachedDescent)->Unit(benchmark::kMillisecond);

// The whole scenario until both vessels have come to rest on the ground.
void BM_WholeDescent(benchmark::State& state) {
    double frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = descent_world(state);
        state.ResumeTiming();
        if (!w)
            break;
        double rested_s = 0.0;
        while (rested_s < 10.0 && w->clock.t_s < 3600.0) {
            w->step(kFrame_s);
            frames += 1;
            bool all = true;
            for (const auto& v : w->vessels()) all = all && v->state.landed;
            rested_s = all ? rested_s + kFrame_s : 0.0;
        }
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    report(state, frames);
}
BENCHMARK(BM_WholeDescent)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
