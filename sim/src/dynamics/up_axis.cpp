#include "sim/up_axis.h"

#include "sim/vessel_parts.h"

namespace sim {

VECTOR3 up_axis(const VesselConfig& c, double* origin_height_m) {
    if (origin_height_m)
        *origin_height_m = 0.0;
    const auto& td = c.touchdown();
    if (td.size() < 3)
        return {0, 0, 1};
    VECTOR3 n = cross(td[1].pos - td[0].pos, td[2].pos - td[0].pos);
    if (!(length(n) > 0.0))
        return {0, 0, 1};
    n = unit(n);
    double height = dot(n, -td[0].pos);
    if (height < 0.0) {
        n = -n;
        height = -height;
    }
    if (origin_height_m)
        *origin_height_m = height;
    return n;
}

}  // namespace sim
