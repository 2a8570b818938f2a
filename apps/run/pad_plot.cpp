#include "apps/run/pad_plot.h"

#include "apps/common/plot_png.h"
#include "apps/run/pad_watch.h"
#include "sim/physics.h"
#include "sim/world.h"

namespace app {

namespace {

double thruster_level(const sim::Vessel& v, int index) {
    return index < static_cast<int>(v.thrusters.size()) ? v.thrusters[index]->level : 0.0;
}

}  // namespace

bool PadPlot::start(const sim::World& w) {
    pad_ = rocket_ = nullptr;
    for (const auto& vp : w.vessels())
        if (!pad_ && is_pad(*vp))
            pad_ = vp.get();
    for (const auto& vp : w.vessels())
        if (!rocket_ && vp.get() != pad_ && vp->group(THGROUP_MAIN))
            rocket_ = vp.get();
    return pad_ != nullptr;
}

void PadPlot::sample(const sim::World& w, const PadWatch& pads) {
    if (!pad_ || !w.owns(pad_))
        return;
    const Umbilical umbilical = pads.umbilical(pad_);
    const bool rocket = rocket_ && w.owns(rocket_);
    t_s_.push_back(w.clock.t_s);
    height_m_.push_back(rocket ? sim::height_above_ground(w, *rocket_) : 0.0);
    main_level_.push_back(rocket ? rocket_->group(THGROUP_MAIN)->level() : 0.0);
    umb_state_.push_back(umbilical.state);
    umb_status_.push_back(umbilical.status);
    side_plume_.push_back(thruster_level(*pad_, pad_side_plume));
    pad_plume_.push_back(thruster_level(*pad_, pad_pad_plume));
    flares_.push_back(thruster_level(*pad_, pad_light_flares));
    vent_.push_back(thruster_level(*pad_, pad_vent));
    // The share of beacons and floodlights on.
    double beacons = 0.0, floods = 0.0;
    for (const auto& b : pad_->beacons) beacons += b.light->active ? 1.0 : 0.0;
    for (const auto& l : pad_->spot_lights) floods += l.light->IsActive() ? 1.0 : 0.0;
    beacons_.push_back(pad_->beacons.empty() ? 0.0 : beacons / double(pad_->beacons.size()));
    floodlights_.push_back(pad_->spot_lights.empty() ? 0.0
                                                     : floods / double(pad_->spot_lights.size()));
}

bool PadPlot::write(const std::string& path, std::string& error,
                    const std::vector<PlotMark>& marks) const {
    if (!pad_ || t_s_.empty()) {
        error = path + ": no pad to plot";
        return false;
    }
    std::string rocket = rocket_ ? rocket_->name() : "no rocket";
    std::vector<PlotPanel> panels = {
        {"", "rocket height (m)", {{rocket + " height", height_m_}}},
        {"", "main engine level", {{rocket + " main engine", main_level_}}},
        {"", "umbilical", {{"state", umb_state_}, {"status", umb_status_}}},
        {"", "plume level", {{"side plume", side_plume_}, {"pad plume", pad_plume_}}},
        {"",
         "lights and vent",
         {{"flares", flares_},
          {"floodlights on", floodlights_},
          {"beacons on", beacons_},
          {"vent", vent_}}},
    };
    return write_plot_png(path, pad_->name() + " (" + pad_->class_name() + ") launch", t_s_, panels,
                          error, marks);
}

}  // namespace app
