#include "apps/run/telemetry.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numbers>

#include "apps/common/csv_field.h"
#include "sim/frames.h"
#include "sim/loads.h"
#include "sim/number_text.h"
#include "sim/physics.h"
#include "sim/trace.h"
#include "sim/units.h"
#include "sim/up_axis.h"
#include "sim/world.h"

namespace app {

namespace {

using sim::format_fixed;

// A value that rounds to zero at the given decimals, without the sign that rounding noise
// leaves on it ("-0.000").
double unsigned_zero(double x, int decimals) {
    return std::abs(x) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : x;
}

double main_level(const sim::Vessel& v) {
    const sim::ThrusterGroup* g = v.group(THGROUP_MAIN);
    return g ? g->level() : 0.0;
}

// The groups after the main one, in the columns' order: retro, hover, then the attitude groups.
constexpr THGROUP_TYPE kFirstOtherGroup = THGROUP_RETRO, kLastGroup = THGROUP_ATT_BACK;

// ",LEVEL" for each of them, an empty field for a group the vessel does not define.
std::string other_group_levels(const sim::Vessel& v) {
    std::string fields;
    for (int t = kFirstOtherGroup; t <= kLastGroup; ++t) {
        const sim::ThrusterGroup* g = v.group(static_cast<THGROUP_TYPE>(t));
        fields += g ? ',' + format_fixed(g->level(), 4) : std::string(",");
    }
    return fields;
}

}  // namespace

const char* Telemetry::header() {
    return "time_s,vessel,height_m,vertical_speed_m_s,horizontal_speed_m_s,airspeed_m_s,tilt_deg,"
           "rate_deg_s,mass_kg,propellant_kg,main_level,contact,landed,attached_to,lng_deg,lat_deg,"
           "focus,retro_level,hover_level,att_pitch_up_level,att_pitch_down_level,"
           "att_yaw_left_level,att_yaw_right_level,att_bank_left_level,att_bank_right_level,"
           "att_right_level,att_left_level,att_up_level,att_down_level,att_forward_level,"
           "att_back_level";
}

bool Telemetry::open(const std::string& path, std::string& error) {
    path_ = path;
    if (!out_.open(path, error))
        return false;
    open_ = true;
    if (!out_.write(std::string(header()) + '\n'))
        return failed(error);
    return true;
}

bool Telemetry::failed(std::string& error) {
    error = "writing telemetry " + path_ + " failed: " + std::strerror(out_.error());
    out_.abandon();
    open_ = false;
    return false;
}

std::string Telemetry::row(const sim::World& w, const sim::Vessel& v) {
    MATRIX3 to_hor = sim::global_to_horizon(w, v);
    VECTOR3 vg = sim::mul(to_hor, sim::ground_velocity(w, v));
    VECTOR3 air =
        vg - (v.state.ref ? sim::wind_horizon(*v.state.ref, sim::length(v.state.rpos) -
                                                                v.state.ref->mean_radius_m)
                          : VECTOR3{0, 0, 0});
    VECTOR3 axis = sim::mul(to_hor, sim::mul(v.state.rot, sim::up_axis(v.config)));
    sim::EquPos e = sim::equ_pos(w, v);
    const sim::Vessel* parent = v.parent();
    auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
    return format_fixed(w.clock.t_s, 3) + ',' + csv_field(v.name()) + ',' +
           format_fixed(unsigned_zero(sim::height_above_ground(w, v), 3), 3) + ',' +
           format_fixed(unsigned_zero(vg.y, 3), 3) + ',' + format_fixed(std::hypot(vg.x, vg.z), 3) +
           ',' + format_fixed(sim::length(air), 3) + ',' +
           format_fixed(std::acos(std::clamp(axis.y, -1.0, 1.0)) * sim::kDegPerRad, 3) + ',' +
           format_fixed(sim::length(v.state.omega) * sim::kDegPerRad, 4) + ',' +
           format_fixed(v.mass_kg(), 3) + ',' + format_fixed(v.propellant_mass_kg(), 4) + ',' +
           format_fixed(main_level(v), 4) + ',' + flag(v.state.ground_contact || v.state.landed) +
           ',' + flag(v.state.landed) + ',' + (parent ? csv_field(parent->name()) : std::string()) +
           ',' + format_fixed(unsigned_zero(e.lng_rad * sim::kDegPerRad, 6), 6) + ',' +
           format_fixed(unsigned_zero(e.lat_rad * sim::kDegPerRad, 6), 6) + ',' +
           flag(w.focus() == &v) + other_group_levels(v);
}

bool Telemetry::write_rows(const sim::World& w, std::string& error) {
    if (!open_)
        return true;
    for (const auto& vp : w.vessels())
        if (!out_.write(row(w, *vp) + '\n'))
            return failed(error);
    return true;
}

bool Telemetry::close(std::string& error) {
    if (!open_)
        return true;
    open_ = false;
    return out_.commit(error);
}

}  // namespace app
