// The stand-in's record behind a module's VESSEL object.
#pragma once

#include "host/vessel.h"
#include "sim/vessel.h"

namespace sim {

inline Vessel& stand_in_of(const VESSEL* v) {
    return *as_vessel(v->GetHandle());
}

}  // namespace sim
