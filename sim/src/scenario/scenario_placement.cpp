// Turning a vessel block's placement lines into its status record. GROUND_POS, GROUND_VEL and
// HORIZON_ATT are stated relative to the turning surface, so they are resolved with the body's
// rotation at the scenario's date.
#include "scenario_placement.h"

#include <cmath>

#include "scenario_standard.h"
#include "sim/frames.h"
#include "sim/number_text.h"
#include "sim/trace.h"
#include "sim/world.h"

namespace sim {

namespace {

// Vessel frame -> horizon frame for a pitch, bank and heading: heading turns the nose (+z) from
// north towards east, pitch raises it above the horizon, bank then rolls the right side (+x)
// down. At pitch 90 degrees the +z axis points straight up.
MATRIX3 horizon_attitude(double pitch, double bank, double heading) {
    VECTOR3 fwd{std::sin(heading), 0.0, std::cos(heading)};
    VECTOR3 up{0, 1, 0};
    VECTOR3 fwd_p = fwd * std::cos(pitch) + up * std::sin(pitch);
    VECTOR3 up_p = up * std::cos(pitch) - fwd * std::sin(pitch);
    VECTOR3 right = cross(up_p, fwd_p);
    VECTOR3 right_b = right * std::cos(bank) - up_p * std::sin(bank);
    VECTOR3 up_b = up_p * std::cos(bank) + right * std::sin(bank);
    return from_columns(right_b, up_b, fwd_p);
}

class Messages {
  public:
    explicit Messages(const PendingStatus& p) : p_(p) {}
    bool has(const char* key) const { return p_.lines.count(key) != 0; }
    // "FILE:LINE: text" at the line of a keyword, or at the block's first line.
    std::string at(const char* key, const std::string& text) const {
        auto it = p_.lines.find(key);
        int line = it != p_.lines.end() ? it->second : (p_.block ? p_.block->header_line : 0);
        return (p_.block ? p_.block->file : std::string("scenario")) + ":" + std::to_string(line) +
               ": " + text;
    }

  private:
    const PendingStatus& p_;
};

}  // namespace

bool resolve_status(const World& w, PendingStatus& p, std::string& error) {
    VESSELSTATUS2& s = p.status;
    s.version = 2;
    Messages m(p);
    const bool free_lines = m.has("RPOS") || m.has("RVEL") || m.has("AROT") || m.has("VROT") ||
                            p.has_ground_pos || p.has_ground_vel || p.has_horizon_att;
    if (s.status == 1) {
        if (!p.attach_parent.empty()) {
            error = m.at("ATTACHED", "a landed vessel cannot hang on a parent (STATUS Landed)");
            return false;
        }
        if (!m.has("POS")) {
            error = m.at("STATUS", "a landed vessel needs a POS line");
            return false;
        }
        if (free_lines) {
            error =
                m.at("STATUS", "a landed vessel takes POS and HEADING, not a free-flight position");
            return false;
        }
        return true;
    }
    for (const char* key : {"POS", "HEADING"})
        if (m.has(key)) {
            error = m.at(
                key, std::string(key) + " places a landed vessel; this one is not landed (STATUS)");
            return false;
        }
    const std::pair<const char*, bool> pairs[] = {
        {"RPOS", p.has_ground_pos}, {"RVEL", p.has_ground_vel}, {"AROT", p.has_horizon_att}};
    for (const auto& [key, extension] : pairs)
        if (extension && m.has(key)) {
            error = m.at(
                key, std::string(key) + " conflicts with the block's ground-relative placement");
            return false;
        }
    if (!p.has_state && p.attach_parent.empty()) {
        error = m.at(
            "", "the vessel has no position: give RPOS, GROUND_POS, or STATUS Landed with POS");
        return false;
    }
    if (!(p.has_ground_pos || p.has_ground_vel || p.has_horizon_att))
        return true;

    auto* obj = static_cast<Object*>(s.rbody);
    if (!obj || !w.owns(obj) || obj->kind() != Object::Kind::Body) {
        const char* key = p.has_ground_pos   ? "GROUND_POS"
                          : p.has_ground_vel ? "GROUND_VEL"
                                             : "HORIZON_ATT";
        error = m.at(key, std::string(key) + " needs a STATUS line naming the body");
        return false;
    }
    const Body& b = *static_cast<Body*>(obj);
    MATRIX3 body_rot = b.rotation(w.clock.mjd);
    if (p.has_ground_pos) {
        double radius_m = b.ground_radius_m() + p.ground_height_m;
        if (radius_m < kMinCentreDistance_m) {
            error =
                m.at("GROUND_POS", "GROUND_POS: height " + format_double(p.ground_height_m) +
                                       " m puts the vessel at or below the centre of " + b.name());
            return false;
        }
        s.rpos = mul(body_rot, body_fixed_from_equ({p.ground_lng_rad, p.ground_lat_rad, radius_m}));
    }
    EquPos e = equ_from_body_fixed(tmul(body_rot, s.rpos));
    MATRIX3 horizon_to_global = mul(body_rot, horizon_basis(e.lng_rad, e.lat_rad));
    // Without a velocity, a vessel placed over the ground starts still relative to it.
    if (p.has_ground_vel || (p.has_ground_pos && !m.has("RVEL")))
        s.rvel =
            mul(horizon_to_global, p.ground_vel_horizon) + b.surface_velocity(s.rpos, w.clock.mjd);
    if (p.has_horizon_att)
        s.arot = euler_from_rotation(
            mul(horizon_to_global, horizon_attitude(p.pitch_rad, p.bank_rad, p.heading_rad)));
    return true;
}

}  // namespace sim
