#include "apps/run/summary.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "apps/common/terminal_text.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/units.h"
#include "sim/world.h"

namespace app {

namespace {

// Formatted text as long as it needs to be: names and figures are never cut.
std::string format(const char* fmt, auto... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, fmt, args...);
    return text;
}

const char* reason(RunEnd why) {
    switch (why) {
        case RunEnd::until:
            return "reached --until";
        case RunEnd::all_rested:
            return "every vessel rested on the ground for 10 s";
        case RunEnd::time_limit:
            return "time limit of an hour reached";
    }
    return "";
}

std::string where(const sim::World& w, const sim::Vessel& v) {
    if (const sim::Vessel* p = v.parent())
        return "attached to " + p->name();
    sim::EquPos e = sim::equ_pos(w, v);
    std::string place =
        format("lng %.4f, lat %.4f", e.lng_rad * sim::kDegPerRad, e.lat_rad * sim::kDegPerRad);
    if (v.state.landed || v.state.ground_contact)
        return "on the ground at " + place;
    VECTOR3 vg = sim::mul(sim::global_to_horizon(w, v), sim::ground_velocity(w, v));
    return format("flying %.1f m above the ground, vertical %.2f m/s, horizontal %.2f m/s, at ",
                  sim::height_above_ground(w, v), vg.y, std::hypot(vg.x, vg.z)) +
           place;
}

}  // namespace

void write_summary(const sim::World& w, RunEnd why, double simulated_s, double wall_s,
                   std::ostream& out) {
    out << "summary: " << reason(why) << "\n";
    out << format("  simulated %.2f s in %ld frames, %.2f s of wall time (%.0fx real time)\n",
                  simulated_s, w.frame_count(), wall_s, wall_s > 0.0 ? simulated_s / wall_s : 0.0);
    for (const auto& vp : w.vessels()) {
        const sim::Vessel& v = *vp;
        out << "  " << terminal_text(v.name()) << " (" << v.class_name()
            << "): " << terminal_text(where(w, v)) << "\n";
        out << format("    mass %.1f kg, propellant %.1f kg\n", v.mass_kg(),
                      v.propellant_mass_kg());
        for (const auto& td : v.state.touchdowns)
            out << format(
                "    touchdown at %.2f s: vertical %.2f m/s, horizontal %.2f m/s, tilt %.1f deg, "
                "propellant %.1f kg\n",
                td.time_s, td.vertical_m_s, td.horizontal_m_s, td.tilt_deg, td.propellant_kg);
    }
    if (w.warning_count() > 0)
        out << "  warnings: " << w.warning_count() << "\n";
}

}  // namespace app
