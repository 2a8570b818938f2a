// The lander's clbkBeforeStep in each phase of its descent, in nanoseconds per call, beside the
// stand-in's whole frame (every vessel's callbacks, the motion, the observations) in the same
// phase. The lander runs from its module library, as the program loads it.
#include <functional>

#include "bench_worlds.h"
#include "lander/quor_tevlan.h"

namespace {

struct Phase {
    const char* scenario;
    // True while the lander is in the phase.
    std::function<bool(const sim::Vessel&, const quor_tevlan&)> holds;
    int settle_frames;  // frames into the phase before measuring
};

const quor_tevlan& lander_of(const sim::Vessel& v) {
    return *static_cast<const quor_tevlan*>(v.iface);
}

// A world flown forward into the phase; null when the phase never came.
std::unique_ptr<sim::World> world_in(benchmark::State& state, const Phase& p,
                                     sim::Vessel*& lander) {
    auto w = bench::load(state, p.scenario);
    if (!w)
        return nullptr;
    lander = w->vessel("Tevlan");
    int settled = 0;
    while (lander && w->clock.t_s < bench::kTimeLimit_s && settled <= p.settle_frames) {
        w->step(bench::kFrame_s);
        settled = p.holds(*lander, lander_of(*lander)) ? settled + 1 : 0;
    }
    if (!lander || settled <= p.settle_frames) {
        state.SkipWithError("the lander never reached the phase");
        return nullptr;
    }
    return w;
}

// The lander's frame, at the date the phase was reached, or with a new date each frame
// (new_date) as in a run: the lander is the first to ask for the date, so its frame also pays
// for working out the bodies' place and turn, once for the whole frame. The dates cycle through
// three, more than a body remembers.
void measure_lander_frame(benchmark::State& state, const Phase& p, bool new_date) {
    sim::Vessel* lander = nullptr;
    auto w = world_in(state, p, lander);
    if (!w)
        return;
    VESSEL2* cb = lander->callbacks();
    const double t = w->clock.t_s, mjd = w->clock.mjd;
    const double dates[] = {mjd, w->clock.mjd_after(bench::kFrame_s),
                            w->clock.mjd_after(2 * bench::kFrame_s)};
    std::size_t next = 0;
    for (auto _ : state) {
        if (new_date) {
            w->clock.mjd = dates[next];
            next = next == 2 ? 0 : next + 1;
        }
        sim::CallbackScope scope(*w, lander);
        cb->clbkBeforeStep(t, bench::kFrame_s, w->clock.mjd);
    }
    if (!p.holds(*lander, lander_of(*lander)))
        state.SkipWithError("the lander left the phase while measured");
}

void BM_LanderFrame(benchmark::State& state, const Phase& p) {
    measure_lander_frame(state, p, false);
}

void BM_LanderFrameNewDate(benchmark::State& state, const Phase& p) {
    measure_lander_frame(state, p, true);
}

void BM_StandInFrame(benchmark::State& state, const Phase& p) {
    sim::Vessel* lander = nullptr;
    auto w = world_in(state, p, lander);
    double frames = 0;
    for (auto _ : state) {
        if (!w)
            return;
        w->step(bench::kFrame_s);
        frames += 1;
        if (!p.holds(*lander, lander_of(*lander))) {
            // The phase is over: fly a fresh world into it.
            state.PauseTiming();
            w.reset();
            w = world_in(state, p, lander);
            state.ResumeTiming();
        }
    }
    bench::report_frames(state, frames);
}

const Phase kArmedFar{
    "mars_entry.scn",
    [](const sim::Vessel&, const quor_tevlan& l) { return l.autopilot_phase == autopilot_armed; },
    1};
const Phase kAttached{
    "mars_descent.scn",
    [](const sim::Vessel&, const quor_tevlan& l) { return l.autopilot_phase == attached_descent; },
    10};
const Phase kPowered{
    "mars_descent.scn",
    [](const sim::Vessel&, const quor_tevlan& l) { return l.autopilot_phase == powered_descent; },
    100};
const Phase kOnGround{"mars_descent.scn",
                      [](const sim::Vessel& v, const quor_tevlan& l) {
                          return l.autopilot_phase == autopilot_off && v.state.landed;
                      },
                      50};

#define PHASE_BENCHMARKS(name, phase)                                                    \
    BENCHMARK_CAPTURE(BM_LanderFrame, name, phase)->Unit(benchmark::kNanosecond);        \
    BENCHMARK_CAPTURE(BM_LanderFrameNewDate, name, phase)->Unit(benchmark::kNanosecond); \
    BENCHMARK_CAPTURE(BM_StandInFrame, name, phase)->Unit(benchmark::kNanosecond)

PHASE_BENCHMARKS(armed_far_from_mars, kArmedFar);
PHASE_BENCHMARKS(attached_descent, kAttached);
PHASE_BENCHMARKS(powered_descent, kPowered);
PHASE_BENCHMARKS(on_the_ground, kOnGround);

}  // namespace
