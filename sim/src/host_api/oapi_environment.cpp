// Free functions about positions and the environment.
#include "argument_checks.h"
#include "host/oapi.h"
#include "sim/frames.h"
#include "sim/loads.h"
#include "sim/physics.h"
#include "sim/world.h"

namespace {

// Out of the way of the calls that record nothing.
[[gnu::noinline, gnu::cold]] void trace_global_pos(sim::Vessel& caller, OBJHANDLE hObj) {
    caller.trace.record("oapiGetGlobalPos", static_cast<const void*>(hObj));
}

}  // namespace

void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos) {
    // Called for every vessel a module scans, every frame: the world is looked up once.
    sim::World* w = sim::World::current();
    if (w && w->caller() && w->caller()->trace.enabled)
        trace_global_pos(*w->caller(), hObj);
    if (!pos)
        return;
    *pos = {0, 0, 0};
    auto* obj = static_cast<sim::Object*>(hObj);
    if (!w || !w->owns(obj)) {
        if (w && w->caller())
            sim::check_object(*w->caller(), "oapiGetGlobalPos", "object", hObj, false);
        return;
    }
    if (obj->kind() == sim::Object::Kind::Body)
        *pos = static_cast<sim::Body*>(obj)->position(w->clock.mjd);
    else
        *pos = sim::global_pos_at(*static_cast<sim::Vessel*>(obj), w->clock.mjd);
}

VECTOR3 oapiGetWindVector(OBJHANDLE hPlanet, double lng, double lat, double alt, int frame,
                          double* windspeed) {
    sim::trace_free("oapiGetWindVector", static_cast<const void*>(hPlanet), lng, lat, alt, frame);
    VECTOR3 wind{0, 0, 0};
    sim::World* w = sim::World::current();
    auto* obj = static_cast<sim::Object*>(hPlanet);
    if (w && w->owns(obj) && obj->kind() == sim::Object::Kind::Body) {
        wind = sim::wind_horizon(*static_cast<const sim::Body*>(obj), alt);
    }
    // Frame 0 is the local horizon frame; frame 1 the body's rotating frame at that point.
    if (frame == 1)
        wind = sim::mul(sim::horizon_basis(lng, lat), wind);
    if (windspeed)
        *windspeed = sim::length(wind);
    return wind;
}
