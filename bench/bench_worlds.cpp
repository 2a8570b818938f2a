#include "bench_worlds.h"

namespace bench {

std::unique_ptr<sim::World> load(benchmark::State& state, const std::string& scenario) {
    auto w = std::make_unique<sim::World>(VESSELSIM_MODULE_DIR);
    std::string error;
    if (!sim::load_scenario(*w, std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/" + scenario,
                            error)) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    return w;
}

void report_frames(benchmark::State& state, double frames) {
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["sim_s_per_s"] =
        benchmark::Counter(frames / kFramesPerSimSecond, benchmark::Counter::kIsRate);
}

}  // namespace bench
