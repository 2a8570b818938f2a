// Each frame: find the rocket standing on the pad, swing the umbilical away once its main engine
// passes lift-off level, run the plumes, switch the lights by day and night and hold the vent
// back while time runs fast.
#include <cmath>

#include "b_tvm58.h"
#include "host/oapi.h"

namespace {

// The search sphere: a rocket's origin within 50 m (strict) of a point 20 m out on the pad's +y.
constexpr VECTOR3 probe_offset{0, 20, 0};
constexpr double search_radius_m = 50;
constexpr double liftoff_level = 0.7;           // main-engine level, strict
constexpr double side_plume_level = 0.1;        // main-engine level, strict
constexpr double side_plume_end_state = 0.9;    // umbilical state, strict
constexpr double pad_plume_from_state = 0.5;    // umbilical state, strict
constexpr double pad_plume_until_state = 0.99;  // umbilical state, strict
// Sine of the Sun's elevation above the pad's ground plane below which it is night: the Sun's
// centre about 0.29 degrees below the plane.
constexpr double night_threshold = -0.005;
constexpr double vent_time_accel_limit = 100;  // strict

double distance(const VECTOR3& a, const VECTOR3& b) {
    double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

double sun_elevation_sine(const VECTOR3& sun_in_pad_frame) {
    const VECTOR3& s = sun_in_pad_frame;
    return s.z / std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
}

void b_tvm58::clbkBeforeStep(double, double, double) {
    // The first vessel in index order within the search sphere is the rocket.
    VECTOR3 probe;
    Local2Global(probe_offset, probe);
    double main_level = 0.0;
    const OBJHANDLE self = GetHandle();
    const DWORD vessels = oapiGetVesselCount();  // the scan creates and removes none
    for (DWORD i = 0; i < vessels; ++i) {
        OBJHANDLE h = oapiGetVesselByIndex(static_cast<int>(i));
        if (h == self)
            continue;
        VECTOR3 q;
        oapiGetGlobalPos(h, &q);
        if (distance(q, probe) < search_radius_m) {
            ENGINESTATUS es;
            oapiGetEngineStatus(h, &es);
            main_level = es.main;
            break;
        }
    }

    if (main_level > liftoff_level && umb_status < umb_swung_away) {
        revert_umbilical();
        SetThrusterLevel(th_vent, 0.0);
    }
    SetThrusterLevel(th_side_plume,
                     main_level > side_plume_level && umb_state < side_plume_end_state ? 1.0 : 0.0);
    SetThrusterLevel(
        th_pad_plume,
        umb_state > pad_plume_from_state && umb_state < pad_plume_until_state ? 1.0 : 0.0);

    // Night: the global origin, where the Sun stands, below the pad's ground plane.
    VECTOR3 g, sun;
    GetGlobalPos(g);
    Global2Local(_V(-g.x, -g.y, -g.z), sun);
    const double r = sun_elevation_sine(sun);
    const bool night = r<night_threshold, day = r> night_threshold;

    if (lights_off == 1)
        SetThrusterLevel(th_lights, 0.0);
    else if (GetThrusterLevel(th_lights) < 1.0 && night)
        SetThrusterLevel(th_lights, 1.0);
    else if (GetThrusterLevel(th_lights) > 0.0 && day)
        SetThrusterLevel(th_lights, 0.0);
    const bool lit = GetThrusterLevel(th_lights) > 0.0;
    for (LightEmitter* light : spotlight) light->Activate(lit);
    if (night || day)
        for (BEACONLIGHTSPEC& b : beacon) b.active = night;

    if (oapiGetTimeAcceleration() > vent_time_accel_limit) {
        if (GetThrusterLevel(th_vent) > 0.0)
            vent_held = 1;
        SetThrusterLevel(th_vent, 0.0);
    } else if (vent_held == 1) {
        SetThrusterLevel(th_vent, 1.0);
        vent_held = 0;
    }
}
