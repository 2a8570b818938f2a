#include "apps/run/pad_watch.h"

#include <cstdio>

#include "apps/run/event_text.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace app {

namespace {

const char* status_meaning(int status) {
    switch (status) {
        case 0:
            return "arms at the rocket";
        case 1:
            return "arms swung away";
        case 2:
            return "arms swinging back";
        case 3:
            return "arms swinging away";
        default:
            return "unknown";
    }
}

}  // namespace

bool is_pad(const sim::Vessel& v) {
    return v.class_name() == "b_tvm58";
}

std::optional<Umbilical> umbilical_of(sim::World& w, sim::Vessel& pad) {
    sim::ScenarioWriteBlock block = sim::saved_block(w, pad);
    for (const auto& [key, value] : block.items) {
        Umbilical u;
        if (key == "UMB" && std::sscanf(value.c_str(), "%d %lf", &u.status, &u.state) == 2)
            return u;
    }
    return std::nullopt;
}

void PadWatch::start(sim::World& w, EventText& words) {
    pads_.clear();
    for (const auto& vp : w.vessels()) {
        if (!is_pad(*vp))
            continue;
        words.name_thruster(vp->name(), pad_vent, "vent");
        words.name_thruster(vp->name(), pad_side_plume, "side plume");
        words.name_thruster(vp->name(), pad_pad_plume, "pad plume");
        words.name_thruster(vp->name(), pad_light_flares, "light flares");
        pads_.push_back({vp.get(), umbilical_of(w, *vp).value_or(Umbilical{})});
    }
}

void PadWatch::update(sim::World& w,
                      const std::function<void(const std::string&, const char* kind)>& report) {
    for (Watched& p : pads_) {
        if (!w.owns(p.vessel))
            continue;
        auto u = umbilical_of(w, *p.vessel);
        if (!u)
            continue;
        const int before = p.last.status;
        p.last = *u;
        if (u->status == before)
            continue;
        // The pad reverses a resting umbilical only when its rocket's engine passes lift-off.
        const bool launch = before < 1 && u->status > 1;
        report(p.vessel->name() +
                   (launch ? " launch detected: umbilical status " : " umbilical status ") +
                   std::to_string(before) + " -> " + std::to_string(u->status) + ", " +
                   status_meaning(u->status),
               launch ? "launch" : "other");
    }
}

Umbilical PadWatch::umbilical(const sim::Vessel* pad) const {
    for (const Watched& p : pads_)
        if (p.vessel == pad)
            return p.last;
    return {};
}

}  // namespace app
