#include "sim/flight_state.h"

namespace sim {

bool finite_state(const FlightState& s) {
    const MATRIX3& r = s.rot;
    return is_finite(s.rpos) && is_finite(s.rvel) && is_finite(s.omega) &&
           is_finite({r.m11, r.m12, r.m13}) && is_finite({r.m21, r.m22, r.m23}) &&
           is_finite({r.m31, r.m32, r.m33});
}

}  // namespace sim
