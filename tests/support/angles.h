// Degrees to radians, for the angles tests write in degrees.
#pragma once

#include "sim/units.h"

inline constexpr double kDeg = sim::kRadPerDeg;
