// The lander object behind a vessel the stand-in created from the lander's module.
#pragma once

#include "lander/quor_tevlan.h"
#include "sim/vessel.h"

inline quor_tevlan& lander_of(sim::Vessel* v) {
    return *static_cast<quor_tevlan*>(v->iface);
}
