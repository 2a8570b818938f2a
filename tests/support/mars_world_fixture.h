// A fresh world for physics tests on Mars: vessels of the test class made with a set-up of the
// test's own, frames run for a time, heights read over the ground.
#pragma once

#include <cmath>
#include <functional>
#include <string>

#include "sim/body.h"
#include "sim/physics.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

class MarsWorldTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        mars = world->body("Mars");
    }

    // A vessel named V1, V2... set up as the function says.
    sim::Vessel* make(std::function<void(test_vessel&)> setup) {
        set_next_test_vessel_setup(std::move(setup));
        return create("V" + std::to_string(++count_), "test_vessel");
    }

    // Frames of dt seconds for about this long.
    void run(double seconds, double dt = 0.02) {
        int frames = static_cast<int>(std::lround(seconds / dt));
        for (int i = 0; i < frames; ++i) world->step(dt);
    }

    double height(const sim::Vessel& v) const { return sim::height_above_ground(*world, v); }

    sim::Body* mars = nullptr;

  private:
    int count_ = 0;
};
