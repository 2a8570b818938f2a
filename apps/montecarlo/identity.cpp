#include "apps/montecarlo/identity.h"

#include <charconv>
#include <cstdio>
#include <map>

#include "apps/common/version.h"
#include "apps/run/start_overrides.h"

namespace app {

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

// The propellant limit of a study that does not judge what is left.
constexpr const char* kNotJudged = "none";

// The items in their order; the keys are the options that set them.
Items identity_items(const StudyIdentity& id) {
    const DispersionRanges& r = id.ranges;
    const Criteria& c = id.criteria;
    Items items{
        {"version", id.version},
        {"scenario", id.scenario},
        {"scenario-hash", id.scenario_hash},
        {"seed", std::to_string(id.seed)},
        {"runs", std::to_string(id.runs)},
        {"shard", std::to_string(id.shard_k) + "/" + std::to_string(id.shard_n)},
        {"height-spread", exact_text(r.height_spread)},
        {"speed-spread", exact_text(r.speed_spread)},
        {"wind-max", exact_text(r.wind_max_m_s)},
        {"turn-max", exact_text(r.turn_max_deg)},
        {"dt-min", exact_text(r.dt_min_s)},
        {"dt-max", exact_text(r.dt_max_s)},
        {"ground-offset-max", exact_text(r.ground_offset_max_m)},
        {"vessel", c.vessel},
        {"vessel-class", id.vessel_class},
        {"max-vertical", exact_text(c.max_vertical_m_s)},
        {"max-horizontal", exact_text(c.max_horizontal_m_s)},
        {"max-tilt", exact_text(c.max_tilt_deg)},
        {"min-propellant", c.min_propellant_kg ? exact_text(*c.min_propellant_kg) : kNotJudged},
        {"survive", exact_text(c.survive_s)},
        {"max-sim-time", exact_text(id.limits.sim_time_s)},
        {"max-wall-time", exact_text(id.limits.wall_time_s)},
    };
    // Only a study that limits its runs' memory says so, so that the CSVs of studies that do
    // not read as they did before the limit existed.
    if (id.limits.memory_mb > 0.0)
        items.push_back({"max-memory", exact_text(id.limits.memory_mb)});
    if (id.limits.max_step_s > 0.0)
        items.push_back({"max-step", exact_text(id.limits.max_step_s)});
    if (id.limits.contact_step_s > 0.0)
        items.push_back({"contact-step", exact_text(id.limits.contact_step_s)});
    return items;
}

template <typename T>
bool number(const std::string& text, T& v) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    return ec == std::errc() && p == end;
}

}  // namespace

std::string content_hash(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ull;
    char buf[32];
    std::snprintf(buf, sizeof buf, "fnv1a64:%016llx", static_cast<unsigned long long>(h));
    return buf;
}

std::string identity_text(const StudyIdentity& id) {
    std::string text(kIdentityTitle);
    text += "\n";
    for (const auto& [key, value] : identity_items(id)) text += "# " + key + ": " + value + "\n";
    return text;
}

bool parse_identity(const std::vector<std::string>& lines, StudyIdentity& id, std::string& error) {
    if (lines.empty() || lines.front() != kIdentityTitle) {
        error = "no study identity before the header (a CSV of an older version?)";
        return false;
    }
    std::map<std::string, std::string> got;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        const std::size_t colon = l.find(": ");
        if (l.rfind("# ", 0) != 0 || colon == std::string::npos) {
            error = "an identity line is not \"# key: value\": " + l;
            return false;
        }
        if (!got.emplace(l.substr(2, colon - 2), l.substr(colon + 2)).second) {
            error = "the identity gives " + l.substr(2, colon - 2) + " twice";
            return false;
        }
    }
    StudyIdentity r;
    r.version = got["version"];
    // Items a study has only when it set them.
    for (const auto& [key, value] :
         {std::pair{"max-memory", &r.limits.memory_mb}, std::pair{"max-step", &r.limits.max_step_s},
          std::pair{"contact-step", &r.limits.contact_step_s}})
        if (got.count(key) && (!number(got[key], *value) || !(*value > 0.0))) {
            error = std::string("the identity's ") + key + " is not a number above 0";
            return false;
        }
    if (r.version != kVersion) {
        error = "written by vesselsim " + (r.version.empty() ? "of unknown version" : r.version) +
                ", this is " + std::string(kVersion);
        return false;
    }
    if (got.size() != identity_items(r).size()) {
        error = "the identity holds " + std::to_string(got.size()) + " items, not " +
                std::to_string(identity_items(r).size());
        return false;
    }
    DispersionRanges& d = r.ranges;
    Criteria& c = r.criteria;
    r.scenario = got["scenario"];
    r.scenario_hash = got["scenario-hash"];
    c.vessel = got["vessel"];
    r.vessel_class = got["vessel-class"];
    const std::string shard = got["shard"];
    const std::size_t slash = shard.find('/');
    bool ok = number(got["seed"], r.seed) && number(got["runs"], r.runs) && r.runs > 0 &&
              r.runs <= kMaxStudyRuns && slash != std::string::npos &&
              number(shard.substr(0, slash), r.shard_k) &&
              number(shard.substr(slash + 1), r.shard_n) && r.shard_k >= 1 &&
              r.shard_k <= r.shard_n;
    const std::pair<const char*, double*> doubles[] = {
        {"height-spread", &d.height_spread},
        {"speed-spread", &d.speed_spread},
        {"wind-max", &d.wind_max_m_s},
        {"turn-max", &d.turn_max_deg},
        {"dt-min", &d.dt_min_s},
        {"dt-max", &d.dt_max_s},
        {"ground-offset-max", &d.ground_offset_max_m},
        {"max-vertical", &c.max_vertical_m_s},
        {"max-horizontal", &c.max_horizontal_m_s},
        {"max-tilt", &c.max_tilt_deg},
        {"survive", &c.survive_s},
        {"max-sim-time", &r.limits.sim_time_s},
        {"max-wall-time", &r.limits.wall_time_s}};
    for (const auto& [key, value] : doubles) ok = ok && number(got[key], *value);
    const std::string& propellant = got["min-propellant"];
    double min_propellant_kg = 0.0;
    if (propellant == kNotJudged)
        c.min_propellant_kg.reset();
    else if (number(propellant, min_propellant_kg))
        c.min_propellant_kg = min_propellant_kg;
    else
        ok = false;
    if (!ok || got.size() != identity_items(r).size()) {
        error = "the identity's items are not what the program writes";
        return false;
    }
    id = r;
    return true;
}

std::string identity_difference(const StudyIdentity& ours, const StudyIdentity& theirs) {
    const Items a = identity_items(ours), b = identity_items(theirs);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].first == "scenario" || a[i].first == "shard" || a[i].second == b[i].second)
            continue;
        return a[i].first + " " + b[i].second + ", not " + a[i].second;
    }
    return "";
}

}  // namespace app
