#include "apps/run/start_overrides.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <numbers>

#include "apps/common/option_checks.h"
#include "sim/attachments.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/units.h"
#include "sim/world.h"

namespace app {

namespace {

// Rotation by angle (rad) about a unit axis, horizon frame.
MATRIX3 rotation_about(const VECTOR3& k, double angle) {
    double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    return {t * k.x * k.x + c,       t * k.x * k.y - s * k.z, t * k.x * k.z + s * k.y,
            t * k.x * k.y + s * k.z, t * k.y * k.y + c,       t * k.y * k.z - s * k.x,
            t * k.x * k.z - s * k.y, t * k.y * k.z + s * k.x, t * k.z * k.z + c};
}

// Moves a free vessel over the body: its height above the ground (new_ground_m + height) and
// its ground speed scaled, its attitude turned in the horizon frame.
void replace(sim::World& w, sim::Vessel& v, const StartOverrides& o, double ground_radius_m) {
    const MATRIX3 to_horizon = sim::global_to_horizon(w, v);
    const MATRIX3 to_global = sim::transpose(to_horizon);
    const double height_m = sim::height_above_ground(w, v);
    const VECTOR3 ground_vel = sim::ground_velocity(w, v);
    v.state.rpos = sim::unit(v.state.rpos) * (ground_radius_m + height_m * o.height_scale);
    v.state.rvel = {0, 0, 0};
    // A vessel at rest in the body's frame moves with its surface.
    v.state.rvel = ground_vel * o.speed_scale - sim::ground_velocity(w, v);
    const double axis = o.turn_axis_deg * sim::kRadPerDeg;
    MATRIX3 turn =
        rotation_about({std::sin(axis), 0.0, std::cos(axis)}, o.turn_deg * sim::kRadPerDeg);
    v.state.rot = sim::mul(to_global, sim::mul(turn, sim::mul(to_horizon, v.state.rot)));
}

// The body of the first vessel not hanging on a parent that is, or is not, landed.
sim::Body* body_of_first(const sim::World& w, bool landed) {
    for (const auto& v : w.vessels())
        if (!v->parent() && v->state.landed == landed && v->state.ref)
            return v->state.ref;
    return nullptr;
}

}  // namespace

bool StartOverrides::any() const {
    return !as_arguments().empty();
}

std::string exact_text(double v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}

std::vector<std::string> StartOverrides::as_arguments() const {
    std::vector<std::string> a;
    auto add = [&](const char* flag, double value, double unset) {
        if (value != unset)
            a.insert(a.end(), {flag, exact_text(value)});
    };
    add("--start-height-scale", height_scale, 1.0);
    add("--start-speed-scale", speed_scale, 1.0);
    if (turn_deg != 0.0) {
        add("--start-turn", turn_deg, 0.0);
        add("--start-turn-axis", turn_axis_deg, 0.0);
    }
    if (wind_m_s >= 0.0) {
        a.insert(a.end(), {"--wind", exact_text(wind_m_s)});
        add("--wind-from", wind_from_deg, 0.0);
    }
    add("--ground-offset", ground_offset_m, 0.0);
    return a;
}

void add_start_options(CLI::App& run, StartOverrides& o) {
    run.add_option("--start-height-scale", o.height_scale,
                   "start the free vessels at this multiple of their heights above the ground")
        ->check(finite_within(1e-9, 1e9))
        ->type_name("X");
    run.add_option("--start-speed-scale", o.speed_scale,
                   "start the free vessels at this multiple of their speeds over the ground")
        ->check(finite_within(0.0, 1e9))
        ->type_name("X");
    run.add_option("--start-turn", o.turn_deg,
                   "turn the free vessels' attitudes by this angle at the start")
        ->check(finite_within(-180.0, 180.0))
        ->type_name("DEG");
    run.add_option("--start-turn-axis", o.turn_axis_deg,
                   "about the horizontal axis at this heading (default 0, north)")
        ->check(finite_within(-360.0, 360.0))
        ->type_name("DEG");
    run.add_option("--wind", o.wind_m_s, "a constant wind in place of the scenario's")
        ->check(finite_within(0.0, 1000.0))
        ->type_name("M/S");
    run.add_option("--wind-from", o.wind_from_deg,
                   "the direction the wind blows from, from north towards east (default 0)")
        ->check(finite_within(-360.0, 360.0))
        ->type_name("DEG");
    run.add_option("--ground-offset", o.ground_offset_m,
                   "raise the ground (lower it, below 0); free vessels keep their heights over it")
        ->check(finite_within(-1e5, 1e5))
        ->type_name("METRES");
}

bool apply_start_overrides(sim::World& w, const StartOverrides& o, std::string& error) {
    if (!o.any())
        return true;
    // The body of the first free vessel; in a scenario where every vessel stands on the ground
    // (a launch pad), the body of the first: its wind and its ground still apply.
    sim::Body* body = body_of_first(w, false);
    if (!body)
        body = body_of_first(w, true);
    if (!body) {
        error = "the start options need a vessel about a body";
        return false;
    }
    const double offset_m = o.ground_offset_m;
    const double ground_radius_m = body->ground_radius_m() + offset_m;
    for (const auto& vp : w.vessels()) {
        sim::Vessel& v = *vp;
        if (v.parent() || v.state.ref != body)
            continue;
        if (v.state.landed) {
            // Landed vessels stand on the moved ground.
            v.state.landed_pos_body += sim::unit(v.state.landed_pos_body) * offset_m;
            v.state.rpos += sim::unit(v.state.rpos) * offset_m;
        } else {
            replace(w, v, o, ground_radius_m);
        }
    }
    body->ground_elevation_m += offset_m;
    if (o.wind_m_s >= 0.0) {
        // Blowing from a heading: towards the opposite one. x east, z north.
        const double from = o.wind_from_deg * sim::kRadPerDeg;
        body->wind_horizon = VECTOR3{std::sin(from), 0.0, std::cos(from)} * -o.wind_m_s;
    }
    for (const auto& v : w.vessels())
        if (!v->parent())
            sim::place_children(w, *v);
    return true;
}

}  // namespace app
