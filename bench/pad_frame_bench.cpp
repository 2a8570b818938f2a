// The pad's clbkBeforeStep with 2, 100, 1,000 and 10,000 vessels in the world: nanoseconds per
// frame, and seconds per vessel in the world ("per_vessel"), which the rocket search visits in
// index order. No other vessel stands within the search sphere, so every frame scans them all. The
// pad runs from its module library, as the program loads it.
#include <sstream>

#include "bench_worlds.h"
#include "host/vessel.h"

namespace {

constexpr const char* kPlainClass = "bench_plain";
constexpr double kPadLon_deg = 63.342, kPadLat_deg = 45.92;
// The other vessels stand on a grid about 1 km north of the pad, 0.001 degrees apart.
constexpr double kGridLat_deg = 45.93, kGridStep_deg = 0.001;
constexpr int kGridColumns = 100;

class plain_vessel final : public VESSEL2 {
  public:
    using VESSEL2::VESSEL2;
};

std::string world_text(long vessels) {
    std::ostringstream s;
    s.precision(10);
    s << "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60650.75\nEND_ENVIRONMENT\n"
      << "BEGIN_SHIPS\nPad:b_tvm58\n  STATUS Landed Earth\n  POS " << kPadLon_deg << ' '
      << kPadLat_deg << "\n  HEADING 0\nEND\n";
    for (long i = 1; i < vessels; ++i)
        s << 'V' << i << ':' << kPlainClass << "\n  STATUS Landed Earth\n  POS "
          << kPadLon_deg + kGridStep_deg * static_cast<double>(i % kGridColumns) << ' '
          << kGridLat_deg + kGridStep_deg * static_cast<double>(i / kGridColumns) << "\nEND\n";
    s << "END_SHIPS\n";
    return s.str();
}

void BM_PadFrame(benchmark::State& state) {
    const long vessels = state.range(0);
    sim::World w(VESSELSIM_MODULE_DIR);
    w.register_builtin_module(
        kPlainClass, [](OBJHANDLE h, int fmodel) -> VESSEL* { return new plain_vessel(h, fmodel); },
        [](VESSEL* v) { delete static_cast<plain_vessel*>(v); });
    std::string error;
    if (!sim::load_scenario_text(w, world_text(vessels), "pad_frame", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    sim::Vessel* pad = w.vessel("Pad");
    if (!pad || w.vessels().size() != static_cast<std::size_t>(vessels)) {
        state.SkipWithError("the world does not hold the pad and its vessels");
        return;
    }
    w.step(bench::kFrame_s);
    VESSEL2* cb = pad->callbacks();
    const double t = w.clock.t_s, mjd = w.clock.mjd;
    for (auto _ : state) {
        sim::CallbackScope scope(w, pad);
        cb->clbkBeforeStep(t, bench::kFrame_s, mjd);
    }
    state.counters["per_vessel"] = benchmark::Counter(
        static_cast<double>(vessels),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_PadFrame)->Arg(2)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kNanosecond);

}  // namespace
