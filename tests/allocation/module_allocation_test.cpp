// No module callback allocates during frames once set-up is done: a whole descent from arrival,
// every phase of the lander flown, and a launch from the pad, with the program's allocation
// functions counting.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "allocation_counter.h"
#include "lander/quor_tevlan.h"
#include "launchpad/b_tvm58.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace {

constexpr double kFrame_s = 0.02;

std::unique_ptr<sim::World> load(const std::string& scenario) {
    auto w = std::make_unique<sim::World>(VESSELSIM_MODULE_DIR);
    std::string error;
    EXPECT_TRUE(
        sim::load_scenario(*w, std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/" + scenario, error))
        << error;
    return w;
}

}  // namespace

TEST(ModuleAllocation, TheCounterSeesTheLandersOwnAllocationsAtSetUp) {
    sim::World w(VESSELSIM_MODULE_DIR);
    std::string error;
    allocation::watch("quor_tevlan");
    // Class set-up builds the animation components on the heap.
    ASSERT_NE(w.create_vessel("QT", "quor_tevlan", error), nullptr) << error;
    EXPECT_GE(allocation::module_allocations(), animation_component_count);
    allocation::watch("");
}

TEST(ModuleAllocation, NoLanderCallbackAllocatesInAnyPhaseFromArrivalToTheGround) {
    auto w = load("mars_entry.scn");
    sim::Vessel* lander = w->vessel("Tevlan");
    ASSERT_NE(lander, nullptr);
    const auto& record = *static_cast<const quor_tevlan*>(lander->iface);
    std::map<int, int> frames_in_phase;
    allocation::watch("quor_tevlan");
    double rested_s = 0.0;
    while (w->clock.t_s < 900.0 && rested_s < 5.0) {
        w->step(kFrame_s);
        ++frames_in_phase[record.autopilot_phase];
        rested_s = lander->state.landed ? rested_s + kFrame_s : 0.0;
    }
    const long allocations = allocation::module_allocations();
    allocation::watch("");
    EXPECT_EQ(allocations, 0);
    for (int phase : {autopilot_armed, attached_descent, powered_descent, autopilot_off})
        EXPECT_GT(frames_in_phase[phase], 0) << "phase " << phase << " never flown";
    EXPECT_TRUE(lander->state.landed);
}

TEST(ModuleAllocation, NoPadCallbackAllocatesThroughALaunch) {
    auto w = load("pad_launch.scn");
    sim::Vessel* pad = w->vessel("Pad");
    ASSERT_NE(pad, nullptr);
    const auto& record = *static_cast<const b_tvm58*>(pad->iface);
    std::map<int, int> frames_in_status;
    allocation::watch("b_tvm58");
    // The rocket throttles up from 5 s and climbs away; the arms swing away over 4 s.
    while (w->clock.t_s < 20.0) {
        w->step(kFrame_s);
        ++frames_in_status[record.umb_status];
    }
    const long allocations = allocation::module_allocations();
    allocation::watch("");
    EXPECT_EQ(allocations, 0);
    for (int status : {umb_at_rocket, umb_swinging_away, umb_swung_away})
        EXPECT_GT(frames_in_status[status], 0) << "umbilical status " << status << " never seen";
    EXPECT_EQ(record.umb_state, 1.0);
}
