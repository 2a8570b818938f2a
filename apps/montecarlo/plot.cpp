#include "apps/montecarlo/plot.h"

#include <functional>

#include "apps/common/plot_png.h"

namespace app {

namespace {

struct Dispersed {
    const char* label;
    std::function<double(const Dispersion&)> value;
};

const Dispersed kDispersed[] = {
    {"frame length (s)", [](const Dispersion& d) { return d.dt_s; }},
    {"start height scale", [](const Dispersion& d) { return d.start.height_scale; }},
    {"start speed scale", [](const Dispersion& d) { return d.start.speed_scale; }},
    {"wind (m/s)", [](const Dispersion& d) { return d.start.wind_m_s; }},
    {"wind from (deg)", [](const Dispersion& d) { return d.start.wind_from_deg; }},
    {"start turn (deg)", [](const Dispersion& d) { return d.start.turn_deg; }},
    {"start turn axis (deg)", [](const Dispersion& d) { return d.start.turn_axis_deg; }},
    {"ground offset (m)", [](const Dispersion& d) { return d.start.ground_offset_m; }},
};

}  // namespace

bool write_study_plot(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                      const std::string& path, std::string& error) {
    const Criteria& c = id.criteria;
    HistogramPanel vertical{"touchdown vertical speed (m/s)", {}, c.max_vertical_m_s, {}};
    HistogramPanel horizontal{"touchdown horizontal speed (m/s)", {}, c.max_horizontal_m_s, {}};
    HistogramPanel tilt{"touchdown tilt (deg)", {}, c.max_tilt_deg, {}};
    HistogramPanel propellant{"propellant left (kg)", {}, c.min_propellant_kg, {}};
    std::vector<ScatterPanel> scatters;
    for (const Dispersed& d : kDispersed)
        scatters.push_back({d.label, "vertical speed (m/s)", {}, {}, {}, c.max_vertical_m_s});
    // Only runs that touched down have figures to show; green the successful ones.
    for (const StudyRow& r : rows) {
        const Touchdown& t = r.touchdown;
        if (!t.touched)
            continue;
        const bool good = verdict(t, c).empty();
        for (auto [panel, value] : {std::pair{&vertical, t.vertical_m_s},
                                    {&horizontal, t.horizontal_m_s},
                                    {&tilt, t.tilt_deg},
                                    {&propellant, t.propellant_kg}}) {
            panel->values.push_back(value);
            panel->good.push_back(good);
        }
        for (std::size_t i = 0; i < scatters.size(); ++i) {
            scatters[i].x.push_back(kDispersed[i].value(r.dispersion));
            scatters[i].y.push_back(t.vertical_m_s);
            scatters[i].good.push_back(good);
        }
    }
    const std::string title = "touchdowns of " + std::to_string(vertical.values.size()) + " of " +
                              std::to_string(rows.size()) + " runs (green: success)";
    return write_study_png(path, title, {vertical, horizontal, tilt, propellant}, scatters, error);
}

}  // namespace app
