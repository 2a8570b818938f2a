// Degrees to radians, for the angles tests write in degrees.
#pragma once

#include <numbers>

inline constexpr double kDeg = std::numbers::pi / 180.0;
