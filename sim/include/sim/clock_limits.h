// Bounds on the clock of a run. Within them every frame moves the clock on: the shortest
// accelerated frame is far longer than the rounding step of the latest simulation time.
#pragma once

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

constexpr double kMinFrame_s = 0.001;
constexpr double kMaxFrame_s = 0.1;  // the longest frame the contact test proves stable
constexpr double kMinTimeAccel = 0.1;
constexpr double kMaxTimeAccel = 10000.0;
constexpr double kMaxSimTime_s = 1e9;  // about 32 years
constexpr double kMinMjd = 0.0;        // 17 November 1858
constexpr double kMaxMjd = 1e6;        // about the year 4596

// The rounding step of a double near kMaxSimTime_s is about 1.2e-7 s.
static_assert(kMinFrame_s * kMinTimeAccel > 1e-6);

SIM_API_END
}  // namespace sim
