// The stand-in's solar system.
#pragma once

#include <memory>
#include <vector>

#include "sim/body.h"

namespace sim {

// One body per entry of its table: the Sun, Mars, Earth.
std::vector<std::unique_ptr<Body>> make_solar_system();

}  // namespace sim
