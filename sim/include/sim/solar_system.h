// The stand-in's solar system.
#pragma once

#include <memory>
#include <vector>

#include "sim/body.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// One body per entry of its table: the Sun, Mars, Earth.
std::vector<std::unique_ptr<Body>> make_solar_system();

SIM_API_END
}  // namespace sim
