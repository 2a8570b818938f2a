#include "support/world_fixture.h"

#include <stdexcept>

std::string module_dir() {
    return VESSELSIM_MODULE_DIR;
}
std::string test_module_dir() {
    return VESSELSIM_TEST_MODULE_DIR;
}

void WorldTest::SetUp() {
    world = std::make_unique<sim::World>(module_dir());
}

void WorldTest::TearDown() {
    if (world) {
        EXPECT_EQ(world->warning_count(), expected_warnings_) << [&] {
            std::string all;
            for (const auto& l : world->log_lines()) all += l + "\n";
            return all;
        }();
    }
    world.reset();
}

sim::Vessel* WorldTest::create(const std::string& name, const std::string& class_name) {
    std::string error;
    sim::Vessel* v = world->create_vessel(name, class_name, error);
    if (!v)
        throw std::runtime_error("cannot create " + name + " of class " + class_name + ": " +
                                 error);
    return v;
}
