#include "apps/montecarlo/csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "apps/common/csv_field.h"

namespace app {

namespace {

constexpr int kTouchdownDecimals = 4;

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

double round_to(double v, int decimals) {
    double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

bool split_fields(const std::string& line, std::vector<std::string>& fields) {
    fields.assign(1, "");
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"' && fields.back().empty()) {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}

template <typename T>
bool number(const std::string& text, T& v) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    return ec == std::errc() && p == end;
}

bool flag(const std::string& text, bool& v) {
    if (text != "0" && text != "1")
        return false;
    v = text == "1";
    return true;
}

constexpr const char* kColumns[] = {
    "run",           "seed",          "scenario",        "dt_s",
    "height_scale",  "speed_scale",   "wind_m_s",        "wind_from_deg",
    "turn_deg",      "turn_axis_deg", "ground_offset_m", "touched_down",
    "autopilot_off", "vertical_m_s",  "horizontal_m_s",  "tilt_deg",
    "propellant_kg", "touchdown_s",   "success",         "failure"};

}  // namespace

std::string csv_header() {
    std::string h;
    for (const char* c : kColumns) h += (h.empty() ? "" : ",") + std::string(c);
    return h;
}

Touchdown rounded(const Touchdown& t) {
    Touchdown r = t;
    for (double* v : {&r.vertical_m_s, &r.horizontal_m_s, &r.tilt_deg, &r.propellant_kg, &r.time_s})
        *v = round_to(*v, kTouchdownDecimals);
    return r;
}

std::string csv_line(const StudyRow& row, const Criteria& c) {
    const Dispersion& d = row.dispersion;
    const StartOverrides& s = d.start;
    const Touchdown t = rounded(row.touchdown);
    const std::string why = verdict(t, c);
    const int k = kTouchdownDecimals;
    const std::vector<std::string> fields = {std::to_string(d.run),       std::to_string(d.seed),
                                             csv_field(row.scenario),     fixed(d.dt_s, 4),
                                             fixed(s.height_scale, 4),    fixed(s.speed_scale, 4),
                                             fixed(s.wind_m_s, 2),        fixed(s.wind_from_deg, 1),
                                             fixed(s.turn_deg, 2),        fixed(s.turn_axis_deg, 1),
                                             fixed(s.ground_offset_m, 0), t.touched ? "1" : "0",
                                             t.autopilot_off ? "1" : "0", fixed(t.vertical_m_s, k),
                                             fixed(t.horizontal_m_s, k),  fixed(t.tilt_deg, k),
                                             fixed(t.propellant_kg, k),   fixed(t.time_s, k),
                                             why.empty() ? "1" : "0",     csv_field(why)};
    std::string line;
    for (const auto& f : fields) line += (line.empty() ? "" : ",") + f;
    return line;
}

bool parse_csv_line(const std::string& line, const Criteria& c, StudyRow& row, std::string& error) {
    std::vector<std::string> f;
    if (!split_fields(line, f) || f.size() != std::size(kColumns)) {
        error = "expected " + std::to_string(std::size(kColumns)) + " fields";
        return false;
    }
    StudyRow r;
    Dispersion& d = r.dispersion;
    StartOverrides& s = d.start;
    Touchdown& t = r.touchdown;
    r.scenario = f[2];
    bool success = false;
    double* doubles[] = {&d.dt_s,          &s.height_scale, &s.speed_scale,   &s.wind_m_s,
                         &s.wind_from_deg, &s.turn_deg,     &s.turn_axis_deg, &s.ground_offset_m};
    bool ok = number(f[0], d.run) && d.run >= 0 && number(f[1], d.seed) && !r.scenario.empty();
    for (std::size_t i = 0; i < std::size(doubles); ++i) ok = ok && number(f[3 + i], *doubles[i]);
    ok = ok && flag(f[11], t.touched) && flag(f[12], t.autopilot_off) &&
         number(f[13], t.vertical_m_s) && number(f[14], t.horizontal_m_s) &&
         number(f[15], t.tilt_deg) && number(f[16], t.propellant_kg) && number(f[17], t.time_s) &&
         flag(f[18], success);
    for (double* x : doubles) ok = ok && std::isfinite(*x);
    if (!ok) {
        error = "a field is not what the header names";
        return false;
    }
    // A landing is judged by its figures: they must be numbers (an infinite speed is no success).
    if (t.touched &&
        !(std::isfinite(t.vertical_m_s) && std::isfinite(t.horizontal_m_s) &&
          std::isfinite(t.tilt_deg) && std::isfinite(t.propellant_kg) && std::isfinite(t.time_s))) {
        error = "a landing's figures are not finite";
        return false;
    }
    if (!t.touched)
        t.failure = f[19];
    if (success != verdict(t, c).empty() || (t.touched && f[19] != verdict(t, c))) {
        error = "the success or failure column disagrees with the row's figures";
        return false;
    }
    row = r;
    return true;
}

}  // namespace app
