#include "apps/run/descent_plot.h"

#include <algorithm>

#include "apps/common/plot_png.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/world.h"

namespace app {

void FlightPlot::sample(const sim::World& w) {
    for (const auto& vp : w.vessels()) {
        const sim::Vessel& v = *vp;
        auto it = std::find_if(series_.begin(), series_.end(),
                               [&](const Series& s) { return s.vessel == &v; });
        if (it == series_.end()) {
            series_.push_back({&v, v.name(), {}, {}, {}, {}, {}, {}});
            it = series_.end() - 1;
        }
        const sim::ThrusterGroup* main = v.group(THGROUP_MAIN);
        std::size_t engines = main ? main->thrusters.size() : 0;
        it->engine_levels.resize(engines);
        it->t_s.push_back(w.clock.t_s);
        it->height_m.push_back(sim::height_above_ground(w, v));
        it->vertical_m_s.push_back(
            sim::mul(sim::global_to_horizon(w, v), sim::ground_velocity(w, v)).y);
        it->propellant_kg.push_back(v.propellant_mass_kg());
        for (std::size_t e = 0; e < engines; ++e) {
            auto& levels = it->engine_levels[e];
            levels.resize(it->t_s.size() - 1, 0.0);  // an engine that appeared late was off before
            levels.push_back(main->thrusters[e]->level);
        }
        for (const auto& g : v.groups) {
            if (g->type == THGROUP_MAIN || g->type >= THGROUP_USER)
                continue;
            auto& groups = it->group_levels;
            auto at = std::find_if(groups.begin(), groups.end(),
                                   [&](const auto& s) { return s.first == g->type; });
            if (at == groups.end()) {
                groups.emplace_back(g->type, std::vector<double>());
                at = groups.end() - 1;
            }
            at->second.resize(it->t_s.size() - 1, 0.0);  // a group that appeared late was off
            at->second.push_back(g->level());
        }
    }
}

bool FlightPlot::write(const sim::World& w, const std::string& path, std::string& error,
                       const std::vector<PlotMark>& marks) const {
    const sim::Vessel* focus = w.focus();
    auto it = std::find_if(series_.begin(), series_.end(),
                           [&](const Series& s) { return s.vessel == focus; });
    if (!focus || it == series_.end() || it->t_s.empty()) {
        error = path + ": no vessel to plot";
        return false;
    }
    PlotPanel engines{"", "engine level", {}};
    for (std::size_t e = 0; e < it->engine_levels.size(); ++e)
        engines.series.push_back({"engine " + std::to_string(e + 1), it->engine_levels[e]});
    // A group never lit would be a flat line at 0 among the engines.
    for (const auto& [type, levels] : it->group_levels)
        if (std::any_of(levels.begin(), levels.end(),
                        [](double l) { return l >= sim::kGroupLitLevel; })) {
            std::vector<double> whole = levels;
            whole.resize(it->t_s.size(), 0.0);
            engines.series.push_back({std::string(sim::group_name(type)) + " group", whole});
        }
    std::vector<PlotPanel> panels = {
        {"", "height (m)", {{"height", it->height_m}}},
        {"", "vertical speed (m/s)", {{"vertical speed", it->vertical_m_s}}},
    };
    if (!engines.series.empty())
        panels.push_back(engines);
    panels.push_back({"", "propellant (kg)", {{"propellant", it->propellant_kg}}});
    return write_plot_png(path, it->name + " (" + focus->class_name() + ")", it->t_s, panels, error,
                          marks);
}

}  // namespace app
