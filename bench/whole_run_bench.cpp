// Whole runs, from the scenario's start until every vessel has rested on the ground for 10 s:
// frames per second of CPU time on one core, and simulated seconds per second ("sim_s_per_s",
// the speed-up over real time) at 50 frames per simulated second.
#include "bench_worlds.h"

namespace {

constexpr double kRestNeeded_s = 10.0;

void BM_WholeRun(benchmark::State& state, const char* scenario) {
    double frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = bench::load(state, scenario);
        state.ResumeTiming();
        if (!w)
            break;
        double landed_s = 0.0;
        do {
            w->step(bench::kFrame_s);
            frames += 1;
        } while (!bench::all_rested(*w, landed_s, kRestNeeded_s) &&
                 w->clock.t_s < bench::kTimeLimit_s);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    bench::report_frames(state, frames);
}

// The scenarios of scenarios/ that run to rest; pad_launch.scn joins them with the pad.
BENCHMARK_CAPTURE(BM_WholeRun, mars_descent, "mars_descent.scn")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeRun, mars_entry, "mars_entry.scn")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
