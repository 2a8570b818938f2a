#include "apps/run/summary_json.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "apps/common/version.h"
#include "sim/frames.h"
#include "sim/number_text.h"
#include "sim/physics.h"
#include "sim/scenario.h"
#include "sim/units.h"
#include "sim/world.h"

namespace app {

namespace {

// A number, or null for one JSON cannot hold.
std::string number(double x) {
    return std::isfinite(x) ? sim::format_double(x) : "null";
}

// Members of an object, written one after another.
class Object {
  public:
    explicit Object(std::string indent) : indent_(std::move(indent)) {}
    Object& raw(const char* key, const std::string& value) {
        text_ += (text_.empty() ? "{\n" : ",\n") + indent_ + "  " + json_string(key) + ": " + value;
        return *this;
    }
    Object& str(const char* key, const std::string& value) { return raw(key, json_string(value)); }
    Object& num(const char* key, double value) { return raw(key, number(value)); }
    std::string done() const { return text_.empty() ? "{}" : text_ + "\n" + indent_ + "}"; }

  private:
    std::string indent_, text_;
};

const char* status(const sim::Vessel& v) {
    if (v.parent())
        return "attached";
    if (v.state.landed)
        return "landed";
    if (v.state.ground_contact)
        return "contact";
    return "flying";
}

std::string touchdown_object(const sim::FlightState::Touchdown& td, const std::string& indent) {
    return Object(indent)
        .num("time_s", td.time_s)
        .num("vertical_m_s", td.vertical_m_s)
        .num("horizontal_m_s", td.horizontal_m_s)
        .num("tilt_deg", td.tilt_deg)
        .num("propellant_kg", td.propellant_kg)
        .done();
}

std::string touchdown(const sim::Vessel& v, const std::string& indent) {
    if (!sim::has_touchdown_figures(v.state))
        return "null";
    return touchdown_object(v.state.touchdown, indent);
}

// Every touchdown, the first included: the first, then each after a lift-off.
std::string touchdowns(const sim::Vessel& v, const std::string& indent) {
    std::string items;
    for (const auto& td : v.state.touchdowns)
        items +=
            (items.empty() ? "\n" : ",\n") + indent + "  " + touchdown_object(td, indent + "  ");
    return items.empty() ? "[]" : "[" + items + "\n" + indent + "]";
}

std::string tanks(const sim::Vessel& v, const std::string& indent) {
    std::string items;
    for (const auto& p : v.propellants)
        items += (items.empty() ? "\n" : ",\n") + indent + "  " +
                 "{\"mass_kg\": " + number(p->mass_kg) + ", \"max_kg\": " + number(p->max_mass_kg) +
                 "}";
    return items.empty() ? "[]" : "[" + items + "\n" + indent + "]";
}

// The lines the module writes after the standard ones. A module that fails to save throws its
// fault on: the caller fails the run.
std::string saved_lines(sim::World& w, sim::Vessel& v, const std::string& indent) {
    std::string items;
    sim::ScenarioWriteBlock block = sim::saved_block(w, v);
    for (std::size_t i = 0; i < block.items.size(); ++i) {
        if (i >= block.standard_first && i < block.standard_end)
            continue;
        const auto& [key, value] = block.items[i];
        items += (items.empty() ? "\n" : ",\n") + indent + "  " +
                 json_string(key + (value.empty() ? "" : " ") + value);
    }
    return items.empty() ? "[]" : "[" + items + "\n" + indent + "]";
}

std::string vessel(sim::World& w, sim::Vessel& v, bool modules_sound) {
    const std::string in = "    ";
    Object o(in);
    o.str("name", v.name()).str("class", v.class_name());
    o.raw("module", v.module() ? json_string(v.module()->path) : "null");
    o.str("status", status(v));
    o.raw("parent", v.parent() ? json_string(v.parent()->name()) : "null");
    o.raw("body", v.state.ref ? json_string(v.state.ref->name()) : "null");
    sim::EquPos e = sim::equ_pos(w, v);
    VECTOR3 vg = sim::mul(sim::global_to_horizon(w, v), sim::ground_velocity(w, v));
    o.num("longitude_deg", e.lng_rad * sim::kDegPerRad)
        .num("latitude_deg", e.lat_rad * sim::kDegPerRad)
        .num("height_m", sim::height_above_ground(w, v))
        .num("vertical_speed_m_s", vg.y)
        .num("horizontal_speed_m_s", std::hypot(vg.x, vg.z))
        .num("mass_kg", v.mass_kg())
        .num("propellant_kg", v.propellant_mass_kg());
    o.raw("tanks", tanks(v, in + "  "));
    o.raw("touchdown", touchdown(v, in + "  "));
    o.raw("touchdowns", touchdowns(v, in + "  "));
    o.raw("saved_lines", modules_sound ? saved_lines(w, v, in + "  ") : "null");
    return o.done();
}

}  // namespace

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string summary_json(sim::World& w, const RunOutcome& r, bool modules_sound) {
    Object o("");
    o.str("vesselsim", kVersion).num("schema", 1).str("scenario", r.scenario).str("ended", r.ended);
    o.raw("error", r.error.empty() ? "null" : json_string(r.error));
    o.num("exit_status", r.exit_status)
        .num("sim_time_s", w.clock.t_s)
        .num("simulated_s", w.clock.t_s - r.start_s)
        .num("frames", static_cast<double>(w.frame_count()))
        .num("warnings", w.warning_count());
    o.raw("focus", w.focus() ? json_string(w.focus()->name()) : "null");
    std::string vessels;
    for (const auto& v : w.vessels())
        vessels += (vessels.empty() ? "\n    " : ",\n    ") + vessel(w, *v, modules_sound);
    o.raw("vessels", vessels.empty() ? "[]" : "[" + vessels + "\n  ]");
    return o.done() + "\n";
}

}  // namespace app
