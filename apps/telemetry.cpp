#include "apps/telemetry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/world.h"

namespace app {

namespace {

constexpr double kDeg = 180.0 / std::numbers::pi;

// Names go into a CSV field: quote them when they hold a separator or a quote.
std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos)
        return s;
    std::string q = "\"";
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

// A value that rounds to zero at the given decimals, without the sign that rounding noise
// leaves on it ("-0.000").
double unsigned_zero(double x, int decimals) {
    return std::abs(x) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : x;
}

double main_level(const sim::Vessel& v) {
    const sim::ThrusterGroup* g = v.group(THGROUP_MAIN);
    return g ? g->level() : 0.0;
}

}  // namespace

const char* Telemetry::header() {
    return "time_s,vessel,height_m,vertical_speed_m_s,horizontal_speed_m_s,airspeed_m_s,tilt_deg,"
           "rate_deg_s,mass_kg,propellant_kg,main_level,contact,landed,attached_to,lng_deg,lat_deg,"
           "focus";
}

bool Telemetry::open(const std::string& path, std::string& error) {
    out_.open(path, std::ios::trunc);
    if (!out_) {
        error = "cannot write telemetry " + path;
        return false;
    }
    out_ << header() << "\n";
    return true;
}

void Telemetry::write_rows(const sim::World& w) {
    if (!out_.is_open())
        return;
    for (const auto& vp : w.vessels()) {
        const sim::Vessel& v = *vp;
        MATRIX3 to_hor = sim::global_to_horizon(w, v);
        VECTOR3 vg = sim::mul(to_hor, sim::ground_velocity(w, v));
        VECTOR3 air =
            vg - (v.state.ref ? sim::wind_horizon(*v.state.ref, sim::length(v.state.rpos) -
                                                                    v.state.ref->mean_radius_m)
                              : VECTOR3{0, 0, 0});
        VECTOR3 axis = sim::mul(to_hor, sim::mul(v.state.rot, VECTOR3{0, 0, 1}));
        sim::EquPos e = sim::equ_pos(w, v);
        const sim::Vessel* parent = v.parent();
        char buf[512];
        std::snprintf(
            buf, sizeof buf,
            "%.3f,%s,%.3f,%.3f,%.3f,%.3f,%.3f,%.4f,%.3f,%.4f,%.4f,%d,%d,%s,%.6f,%.6f,%d\n",
            w.clock.t_s, csv_field(v.name()).c_str(),
            unsigned_zero(sim::height_above_ground(w, v), 3), unsigned_zero(vg.y, 3),
            std::hypot(vg.x, vg.z), sim::length(air),
            std::acos(std::clamp(axis.y, -1.0, 1.0)) * kDeg, sim::length(v.state.omega) * kDeg,
            v.mass_kg(), v.propellant_mass_kg(), main_level(v),
            v.state.ground_contact || v.state.landed ? 1 : 0, v.state.landed ? 1 : 0,
            parent ? csv_field(parent->name()).c_str() : "", unsigned_zero(e.lng_rad * kDeg, 6),
            unsigned_zero(e.lat_rad * kDeg, 6), w.focus() == &v ? 1 : 0);
        out_ << buf;
    }
}

}  // namespace app
