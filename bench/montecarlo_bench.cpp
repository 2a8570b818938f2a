// Monte Carlo runs of mars_descent per second of wall time, 1 and 2 at a time: each run forked
// from the prepared process (the scenario read, the modules loaded), against a process per run
// that reads the scenario and loads the modules itself, as studies ran before.
#include <benchmark/benchmark.h>

#include <numeric>

#include "apps/montecarlo/flight.h"
#include "apps/montecarlo/process_pool.h"

namespace {

constexpr int kRunsPerIteration = 40;
const std::string kScenario = VESSELSIM_SOURCE_DIR "/scenarios/mars_descent.scn";

void BM_StudyRuns(benchmark::State& state, bool prepared) {
    const int jobs = static_cast<int>(state.range(0));
    app::PreparedStudy study;
    app::Criteria c;
    const app::RunLimits limits;
    std::string error;
    if (prepared && !study.prepare(kScenario, VESSELSIM_MODULE_DIR, c, limits, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<int> runs(kRunsPerIteration);
    std::iota(runs.begin(), runs.end(), 0);
    const app::DispersionRanges ranges;
    auto work = [&](int run) {
        std::string why;
        const app::Dispersion d = app::disperse(ranges, 1, run);
        const app::Touchdown t =
            prepared ? study.fly(d, c, limits, why)
                     : app::fly_from_file(kScenario, VESSELSIM_MODULE_DIR, d, c, limits, why);
        return why.empty() && t.touched ? std::string("ok") : "failed: " + why;
    };
    int flown = 0;
    for (auto _ : state)
        app::run_in_processes(runs, jobs, 0.0, work, [&](int, app::ChildResult& r) {
            if (r.text != "ok")
                state.SkipWithError(("a run failed: " + r.text + r.why).c_str());
            ++flown;
        });
    state.counters["runs_per_s"] = benchmark::Counter(flown, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_StudyRuns, prepared, true)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StudyRuns, process_per_run, false)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
