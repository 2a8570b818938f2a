// Angles in the degrees a user reads and writes and the radians the mathematics takes.
#pragma once

#include <numbers>

namespace sim {

inline constexpr double kRadPerDeg = std::numbers::pi / 180.0;
inline constexpr double kDegPerRad = 180.0 / std::numbers::pi;

}  // namespace sim
