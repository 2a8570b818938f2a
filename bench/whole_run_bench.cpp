// Whole runs, from the scenario's start until every vessel has rested on the ground for 10 s (a
// landing) or for a set time (a launch): frames per second of CPU time on one core, and simulated
// seconds per second ("sim_s_per_s", the speed-up over real time) at 50 frames per simulated
// second.
#include "bench_worlds.h"
#include "sim/flight.h"

namespace {

// As the program waits before it ends a landing run.
constexpr double kRestNeeded_s = 10.0;

struct Run {
    const char* scenario;
    bool to_rest;  // ends once every vessel has rested; otherwise at until_s
    double until_s;
};

void BM_WholeRun(benchmark::State& state, const Run& run) {
    double frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = bench::load(state, run.scenario);
        if (!w)
            break;  // skipped with the load's error: the timer stays stopped
        state.ResumeTiming();
        struct Count : sim::FrameHooks {
            double& frames;
            explicit Count(double& f) : frames(f) {}
            bool after_frame(double) override {
                frames += 1;
                return true;
            }
        } count(frames);
        sim::Flight(*w, {bench::kFrame_s, run.until_s, run.to_rest ? kRestNeeded_s : 0.0, 0.0})
            .fly(count);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    bench::report_frames(state, frames);
}

// The landings run to rest; the launch until the rocket has climbed away.
const Run kMarsDescent{"mars_descent.scn", true, bench::kTimeLimit_s};
const Run kMarsEntry{"mars_entry.scn", true, bench::kTimeLimit_s};
const Run kPadLaunch{"pad_launch.scn", false, 60.0};

BENCHMARK_CAPTURE(BM_WholeRun, mars_descent, kMarsDescent)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, mars_entry, kMarsEntry)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, pad_launch, kPadLaunch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
