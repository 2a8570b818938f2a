#include "apps/montecarlo/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "apps/run/start_overrides.h"

namespace app {

namespace {

std::string format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// Quoted for the shell when it holds anything but plain characters.
std::string shell_word(const std::string& w) {
    if (!w.empty() && w.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-+=./:@,%") == std::string::npos)
        return w;
    std::string q = "'";
    for (char c : w) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Figure {
    const char* label;
    std::function<double(const Touchdown&)> value;
    bool low_is_worse;  // propellant: the worst runs are those with the least
    const char* format;
};

const Figure kFigures[] = {
    {"vertical speed (m/s)", [](const Touchdown& t) { return t.vertical_m_s; }, false, "%9.3f"},
    {"horizontal speed (m/s)", [](const Touchdown& t) { return t.horizontal_m_s; }, false, "%9.3f"},
    {"tilt (deg)", [](const Touchdown& t) { return t.tilt_deg; }, false, "%9.2f"},
    {"propellant left (kg)", [](const Touchdown& t) { return t.propellant_kg; }, true, "%9.2f"},
};

constexpr double kPercentiles[] = {50.0, 95.0, 99.0, 100.0};

}  // namespace

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty())
        return 0.0;
    auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

std::string replay_command(const std::string& program, const std::string& modules_dir,
                           const StudyRow& row, const RunLimits& limits) {
    std::vector<std::string> words = {program, "run", row.scenario, "--dt",
                                      exact_text(row.dispersion.dt_s)};
    // The study's own step lengths, so that the run replays exactly.
    if (limits.max_step_s > 0.0)
        words.insert(words.end(), {"--max-step", exact_text(limits.max_step_s)});
    if (limits.contact_step_s > 0.0)
        words.insert(words.end(), {"--contact-step", exact_text(limits.contact_step_s)});
    for (const auto& a : row.dispersion.start.as_arguments()) words.push_back(a);
    if (!modules_dir.empty())
        words.insert(words.end(), {"--modules", modules_dir});
    std::string cmd;
    for (const auto& w : words) cmd += (cmd.empty() ? "" : " ") + shell_word(w);
    return cmd;
}

std::string success_rule(const StudyIdentity& id) {
    const Criteria& c = id.criteria;
    std::string rule = c.survive_s > 0.0
                           ? exact_text(c.survive_s) + " s of flight without a fault; a touchdown"
                           : "touchdown";
    if (has_autopilot(id.vessel_class))
        rule += " with the autopilot off";
    rule += ", vertical under " + exact_text(c.max_vertical_m_s) + " m/s, horizontal under " +
            exact_text(c.max_horizontal_m_s) + " m/s, tilt under " + exact_text(c.max_tilt_deg) +
            " deg";
    if (c.min_propellant_kg)
        rule += *c.min_propellant_kg == 0.0
                    ? std::string(", propellant left")
                    : ", more than " + exact_text(*c.min_propellant_kg) + " kg of propellant left";
    return rule;
}

void write_report(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                  const std::string& program, const std::string& modules_dir, std::ostream& out) {
    const Criteria& c = id.criteria;
    std::vector<const StudyRow*> failed;
    std::vector<const Touchdown*> touched;
    for (const auto& r : rows) {
        if (!verdict(r.touchdown, c).empty())
            failed.push_back(&r);
        if (r.touchdown.touched)
            touched.push_back(&r.touchdown);
    }
    const std::size_t n = rows.size();
    out << "landing envelope of " << (n ? rows.front().scenario : std::string("(no runs)")) << ": "
        << n << " runs\n";
    out << format("  success: %zu of %zu (%.1f%%): ", n - failed.size(), n,
                  n ? 100.0 * double(n - failed.size()) / double(n) : 0.0)
        << success_rule(id) << "\n";
    out << format("  %-26s%9s%9s%9s%9s   (%zu touchdowns)\n", "", "50%", "95%", "99%", "worst",
                  touched.size());
    for (const Figure& f : kFigures) {
        std::vector<double> v;
        for (const Touchdown* t : touched) v.push_back(f.value(*t));
        // Percentiles count from the good end: 95% of the runs are at least this good.
        if (f.low_is_worse)
            std::sort(v.begin(), v.end(), std::greater<>());
        else
            std::sort(v.begin(), v.end());
        out << format("  %-26s", f.label);
        for (double p : kPercentiles)
            out << (v.empty() ? format("%9s", "-") : format(f.format, percentile(v, p)));
        out << "\n";
    }
    if (failed.empty())
        return;
    out << "failed runs, each with the command that replays it:\n";
    for (const StudyRow* r : failed)
        out << "  run " << r->dispersion.run << " (" << verdict(r->touchdown, c)
            << "): " << replay_command(program, modules_dir, *r, id.limits) << "\n";
}

}  // namespace app
