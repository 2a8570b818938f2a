// What module libraries call of the simulator as they load: InitLib to announce themselves and
// Date2Int to date their interface. Counted, so that tests can see each library's frame call them.
#pragma once

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// Number of libraries that announced themselves through InitLib since the process started.
int initlib_count();
// Number of Date2Int calls since the process started.
int date2int_count();

SIM_API_END
}  // namespace sim
