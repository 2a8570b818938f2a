// A fresh world per test, with the module libraries of this build. A test fails when the
// stand-in logged a warning it did not expect.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sim/world.h"

class WorldTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a vessel through its module library. One that cannot be created ends the test
    // with the reason (an exception the test framework reports as the test's failure), so that
    // no caller goes on with a null vessel.
    sim::Vessel* create(const std::string& name, const std::string& class_name);

    // Warnings the test provokes on purpose.
    void expect_warnings(int n) { expected_warnings_ = n; }

    std::unique_ptr<sim::World> world;

  private:
    int expected_warnings_ = 0;
};

// The module folder of this build.
std::string module_dir();
std::string test_module_dir();
