// Standard vessel lines of scenario files: reading them into a pending status, writing them from
// a vessel's state. docs/scenario-format.md lists every line with its units.
//
//   STATUS Landed|Orbiting BODY   landed on, or flying free about, a body
//   RPOS x y z                    position relative to the body, global orientation, m
//   RVEL x y z                    velocity relative to the body's centre, global orientation, m/s
//   AROT a b c                    attitude, Euler angles of rotation_from_euler, degrees
//   VROT x y z                    angular velocity, vessel frame, degrees per second
//   POS lng lat                   landed position, degrees
//   HEADING deg                   landed heading, degrees from north towards east
//   ATTACHED P:C,PARENT           hangs on the parent's point for children P by its own point C
//   PRPLEVEL i:level ...          propellant resource i filled to level (0..1)
//   THLEVEL i:level ...           thruster i at level (0..1)
// Placement extensions of this stand-in, resolved against the body at load time:
//   GROUND_POS lng lat height_m   free vessel height_m above the ground at lng, lat (degrees)
//   GROUND_VEL east north up      velocity relative to the ground, local horizon, m/s
//   HORIZON_ATT pitch bank hdg    attitude relative to the local horizon, degrees
#include "scenario_standard.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "scenario_text.h"
#include "sim/frames.h"
#include "sim/number_text.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "sim/text_file.h"
#include "sim/trace.h"
#include "sim/units.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

// The range a value of a standard line must lie in; docs/scenario-format.md lists them.
struct Bound {
    const char* name;
    double lo, hi;
    const char* unit;
};

constexpr double kMaxCoordinate_m = 1e12;  // beyond the orbit of Saturn
constexpr double kMaxSpeed_m_s = 1e6;
constexpr double kMaxAngle_deg = 360.0;
constexpr double kMaxRate_deg_s = 36000.0;  // a hundred turns a second

constexpr Bound kCoordinate[] = {{"x", -kMaxCoordinate_m, kMaxCoordinate_m, "m"},
                                 {"y", -kMaxCoordinate_m, kMaxCoordinate_m, "m"},
                                 {"z", -kMaxCoordinate_m, kMaxCoordinate_m, "m"}};
constexpr Bound kVelocity[] = {{"x", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"},
                               {"y", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"},
                               {"z", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"}};
constexpr Bound kEuler[] = {{"a", -kMaxAngle_deg, kMaxAngle_deg, "degrees"},
                            {"b", -kMaxAngle_deg, kMaxAngle_deg, "degrees"},
                            {"c", -kMaxAngle_deg, kMaxAngle_deg, "degrees"}};
constexpr Bound kRate[] = {{"x", -kMaxRate_deg_s, kMaxRate_deg_s, "degrees/s"},
                           {"y", -kMaxRate_deg_s, kMaxRate_deg_s, "degrees/s"},
                           {"z", -kMaxRate_deg_s, kMaxRate_deg_s, "degrees/s"}};
constexpr Bound kLongitude{"longitude", -kMaxAngle_deg, kMaxAngle_deg, "degrees"};
constexpr Bound kLatitude{"latitude", -90.0, 90.0, "degrees"};
constexpr Bound kSurface[] = {kLongitude, kLatitude};
constexpr Bound kHeading[] = {{"heading", -kMaxAngle_deg, kMaxAngle_deg, "degrees"}};
constexpr Bound kGroundPos[] = {
    kLongitude, kLatitude, {"height", -kMaxCoordinate_m, kMaxCoordinate_m, "m"}};
constexpr Bound kGroundVel[] = {{"east", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"},
                                {"north", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"},
                                {"up", -kMaxSpeed_m_s, kMaxSpeed_m_s, "m/s"}};
constexpr Bound kHorizonAtt[] = {{"pitch", -kMaxAngle_deg, kMaxAngle_deg, "degrees"},
                                 {"bank", -kMaxAngle_deg, kMaxAngle_deg, "degrees"},
                                 {"heading", -kMaxAngle_deg, kMaxAngle_deg, "degrees"}};

// The body no vessel can stand on.
constexpr const char* kStar = "Sun";

bool to_index(const std::string& text, unsigned& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end;
}

// Exactly n finite numbers.
bool numbers(const std::vector<std::string>& args, std::size_t n, double* out) {
    if (args.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!to_double(args[i], out[i]))
            return false;
    return true;
}

// Exactly the numbers of a table of bounds, each within its bound. False with a message naming
// the expected form, or the value out of range and its bound.
template <std::size_t N>
bool bounded(const std::vector<std::string>& args, const Bound (&bounds)[N], double* out,
             const char* expected, std::string& error) {
    if (!numbers(args, N, out)) {
        error = std::string("expected ") + expected;
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        const Bound& b = bounds[i];
        if (out[i] < b.lo || out[i] > b.hi) {
            error = std::string(b.name) + " " + excerpt(args[i]) + " outside " +
                    format_double(b.lo) + ".." + format_double(b.hi) + " " + b.unit;
            return false;
        }
    }
    return true;
}

bool vector3(const std::vector<std::string>& args, const Bound (&bounds)[3], VECTOR3& v,
             const char* expected, std::string& error, double scale = 1.0) {
    double x[3];
    if (!bounded(args, bounds, x, expected, error))
        return false;
    v = VECTOR3{x[0], x[1], x[2]} * scale;
    return true;
}

// "i:level" pairs; levels 0..1, indices below count.
template <typename Entry>
bool level_pairs(const std::vector<std::string>& args, std::size_t count, const char* what,
                 std::vector<Entry>& out, std::string& error) {
    if (args.empty()) {
        error = "expected index:level pairs";
        return false;
    }
    for (const std::string& a : args) {
        std::size_t colon = a.find(':');
        unsigned idx = 0;
        double level = 0.0;
        if (colon == std::string::npos || !to_index(a.substr(0, colon), idx) ||
            !to_double(a.substr(colon + 1), level)) {
            error = "expected index:level, got '" + excerpt(a) + "'";
            return false;
        }
        if (level < 0.0 || level > 1.0) {
            error = "level " + excerpt(a.substr(colon + 1)) + " outside 0..1";
            return false;
        }
        if (idx >= count) {
            error = "no " + std::string(what) + " " + std::to_string(idx) + " (the vessel has " +
                    std::to_string(count) + ")";
            return false;
        }
        out.push_back({idx, level});
    }
    return true;
}

// ATTACHED P:C,PARENT
bool attached(const std::string& rest, PendingStatus& p, std::string& error) {
    if (!p.attach_parent.empty()) {
        error = "a vessel hangs on one parent; it has an ATTACHED line already";
        return false;
    }
    error = "expected ATTACHED parent_point:child_point,PARENT";
    std::size_t colon = rest.find(':'), comma = rest.find(',');
    if (colon == std::string::npos || comma == std::string::npos || comma < colon)
        return false;
    unsigned parent_point = 0, child_point = 0;
    if (!to_index(rest.substr(0, colon), parent_point) ||
        !to_index(rest.substr(colon + 1, comma - colon - 1), child_point))
        return false;
    std::string parent = rest.substr(comma + 1);
    if (parent.empty() || parent.find_first_of(kBlanks) != std::string::npos)
        return false;
    p.attach_parent = parent;
    p.attach_parent_point = parent_point;
    p.attach_child_point = child_point;
    return true;
}

bool equal_nocase(const std::string& a, const char* b) {
    std::size_t n = std::char_traits<char>::length(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string text_of(const VECTOR3& v, double scale = 1.0) {
    return format_double(v.x * scale) + " " + format_double(v.y * scale) + " " +
           format_double(v.z * scale);
}

// Index of a point among the vessel's points of its kind.
int point_index(const Vessel& v, const Attachment* point) {
    int i = 0;
    for (const auto& a : v.attachments) {
        if (a->to_parent != point->to_parent)
            continue;
        if (a.get() == point)
            return i;
        ++i;
    }
    return -1;
}

// Reads one line whose keyword is known; false with a message when its value is malformed.
bool read_value(const Vessel& v, const std::string& key, const std::string& rest,
                const std::vector<std::string>& args, PendingStatus& p, std::string& error) {
    VESSELSTATUS2& s = p.status;
    double x[3];
    auto fail = [&](const char* expected) {
        error = std::string("expected ") + expected;
        return false;
    };
    if (key == "STATUS") {
        if (args.size() != 2 ||
            !(equal_nocase(args[0], "Landed") || equal_nocase(args[0], "Orbiting"))) {
            return fail("STATUS Landed BODY or STATUS Orbiting BODY");
        }
        World* w = World::current();
        Body* b = w ? w->body(args[1]) : nullptr;
        if (!b) {
            error = "unknown body " + excerpt(args[1]);
            return false;
        }
        bool landed = equal_nocase(args[0], "Landed");
        if (landed && b->name() == kStar) {
            error = "nothing can stand on " + b->name();
            return false;
        }
        s.rbody = b->handle();
        s.status = landed ? 1 : 0;
        return true;
    }
    if (key == "RPOS") {
        if (!vector3(args, kCoordinate, s.rpos, "RPOS x y z (m)", error))
            return false;
        if (length(s.rpos) < kMinCentreDistance_m) {
            error = "the position must be at least " + format_double(kMinCentreDistance_m) +
                    " m from the body's centre";
            return false;
        }
        return true;
    }
    if (key == "RVEL")
        return vector3(args, kVelocity, s.rvel, "RVEL x y z (m/s)", error);
    if (key == "AROT")
        return vector3(args, kEuler, s.arot, "AROT a b c (degrees)", error, kRadPerDeg);
    if (key == "VROT")
        return vector3(args, kRate, s.vrot, "VROT x y z (degrees/s)", error, kRadPerDeg);
    if (key == "POS") {
        if (!bounded(args, kSurface, x, "POS lng lat (degrees)", error))
            return false;
        s.surf_lng = x[0] * kRadPerDeg;
        s.surf_lat = x[1] * kRadPerDeg;
        return true;
    }
    if (key == "HEADING") {
        if (!bounded(args, kHeading, x, "HEADING degrees", error))
            return false;
        s.surf_hdg = x[0] * kRadPerDeg;
        return true;
    }
    if (key == "ATTACHED")
        return attached(rest, p, error);
    if (key == "PRPLEVEL")
        return level_pairs(args, v.propellants.size(), "propellant resource", p.fuel, error);
    if (key == "THLEVEL")
        return level_pairs(args, v.thrusters.size(), "thruster", p.thrusters, error);
    if (key == "GROUND_POS") {
        if (!bounded(args, kGroundPos, x, "GROUND_POS lng lat height_m", error))
            return false;
        p.ground_lng_rad = x[0] * kRadPerDeg;
        p.ground_lat_rad = x[1] * kRadPerDeg;
        p.ground_height_m = x[2];
        p.has_ground_pos = true;
        return true;
    }
    if (key == "GROUND_VEL") {
        if (!bounded(args, kGroundVel, x, "GROUND_VEL east north up (m/s)", error))
            return false;
        p.ground_vel_horizon = {x[0], x[2], x[1]};
        p.has_ground_vel = true;
        return true;
    }
    if (key == "HORIZON_ATT") {
        if (!bounded(args, kHorizonAtt, x, "HORIZON_ATT pitch bank heading (degrees)", error))
            return false;
        p.pitch_rad = x[0] * kRadPerDeg;
        p.bank_rad = x[1] * kRadPerDeg;
        p.heading_rad = x[2] * kRadPerDeg;
        p.has_horizon_att = true;
        return true;
    }
    return false;
}

constexpr const char* kKeywords[] = {
    "STATUS",   "RPOS",     "RVEL",    "AROT",       "VROT",       "POS",        "HEADING",
    "ATTACHED", "PRPLEVEL", "THLEVEL", "GROUND_POS", "GROUND_VEL", "HORIZON_ATT"};

bool is_keyword(const std::string& key) {
    for (const char* k : kKeywords)
        if (key == k)
            return true;
    return false;
}

}  // namespace

LineResult parse_standard_line(const Vessel& v, const char* line, PendingStatus& pending,
                               std::string& error) {
    std::string text = line ? line : "";
    std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string::npos) {
        error = "empty line";
        return LineResult::unknown;
    }
    std::size_t key_end = text.find_first_of(kBlanks, start);
    std::string key =
        text.substr(start, key_end == std::string::npos ? std::string::npos : key_end - start);
    if (!is_keyword(key)) {
        error = "unknown line: " + excerpt(text.substr(start));
        return LineResult::unknown;
    }
    std::string rest = key_end == std::string::npos ? "" : trim(text.substr(key_end));
    std::string why;
    if (!read_value(v, key, rest, split_words(rest), pending, why)) {
        error = key + ": " + why;
        return LineResult::malformed;
    }
    pending.lines[key] = pending.block ? pending.block->current_line() : 0;
    // Lines that say where the vessel is.
    if (key == "RPOS" || key == "GROUND_POS" || key == "POS" ||
        (key == "STATUS" && pending.status.status == 1))
        pending.has_state = true;
    return LineResult::parsed;
}

void write_standard_lines(const Vessel& v, ScenarioWriteBlock& out) {
    auto put = [&](const char* key, std::string value) {
        out.items.emplace_back(key, std::move(value));
    };
    const FlightState& s = v.state;
    std::string body = s.ref ? s.ref->name() : "Sun";
    if (s.landed) {
        put("STATUS", "Landed " + body);
        EquPos e = equ_from_body_fixed(s.landed_pos_body);
        put("POS",
            format_double(e.lng_rad / kRadPerDeg) + " " + format_double(e.lat_rad / kRadPerDeg));
        put("HEADING", format_double(landed_heading(v) / kRadPerDeg));
    } else {
        put("STATUS", "Orbiting " + body);
        put("RPOS", text_of(s.rpos));
        put("RVEL", text_of(s.rvel));
        put("AROT", text_of(euler_from_rotation(s.rot), 1.0 / kRadPerDeg));
        put("VROT", text_of(s.omega, 1.0 / kRadPerDeg));
    }
    for (const auto& a : v.attachments) {
        if (!a->to_parent || !a->attached || !a->peer)
            continue;
        put("ATTACHED", std::to_string(point_index(*a->attached, a->peer)) + ":" +
                            std::to_string(point_index(v, a.get())) + "," + a->attached->name());
    }
    // "i:level" pairs, appended piece by piece.
    auto add_level = [](std::string& list, std::size_t i, double level) {
        if (!list.empty())
            list += ' ';
        list += std::to_string(i);
        list += ':';
        list += format_double(level);
    };
    std::string levels;
    for (std::size_t i = 0; i < v.propellants.size(); ++i) {
        const Propellant& p = *v.propellants[i];
        if (p.max_mass_kg > 0.0)
            add_level(levels, i, p.mass_kg / p.max_mass_kg);
    }
    if (!levels.empty())
        put("PRPLEVEL", levels);
    levels.clear();
    for (std::size_t i = 0; i < v.thrusters.size(); ++i)
        if (v.thrusters[i]->level > 0.0)
            add_level(levels, i, v.thrusters[i]->level);
    if (!levels.empty())
        put("THLEVEL", levels);
}

}  // namespace sim
