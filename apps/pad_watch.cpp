#include "apps/pad_watch.h"

#include <string>

#include "launchpad/b_tvm58.h"
#include "sim/world.h"

namespace app {

namespace {

const char* status_meaning(int status) {
    switch (status) {
        case umb_at_rocket:
            return "arms at the rocket";
        case umb_swung_away:
            return "arms swung away";
        case umb_to_rocket:
            return "arms swinging back";
        case umb_swinging_away:
            return "arms swinging away";
        default:
            return "unknown";
    }
}

void label(sim::Vessel& v, THRUSTER_HANDLE th, const char* name) {
    if (sim::Thruster* t = v.thruster(th))
        t->label = name;
}

}  // namespace

const b_tvm58* as_pad(const sim::Vessel& v) {
    // The program's copy of the pad's class has the layout of the module's.
    return v.class_name() == "b_tvm58" && v.iface ? static_cast<const b_tvm58*>(v.iface) : nullptr;
}

void PadWatch::start(sim::World& w) {
    pads_.clear();
    for (const auto& vp : w.vessels()) {
        const b_tvm58* pad = as_pad(*vp);
        if (!pad)
            continue;
        label(*vp, pad->th_vent, "vent");
        label(*vp, pad->th_side_plume, "side plume");
        label(*vp, pad->th_pad_plume, "pad plume");
        label(*vp, pad->th_lights, "light flares");
        pads_.push_back({vp.get(), pad->umb_status});
    }
}

void PadWatch::update(sim::World& w) {
    for (Watched& p : pads_) {
        if (!w.owns(p.vessel))
            continue;
        const int now = as_pad(*p.vessel)->umb_status;
        if (now == p.status)
            continue;
        // The pad reverses a resting umbilical only when its rocket's engine passes lift-off.
        const bool launch = p.status < umb_swung_away && now > umb_swung_away;
        w.event(p.vessel->name() +
                (launch ? " launch detected: umbilical status " : " umbilical status ") +
                std::to_string(p.status) + " -> " + std::to_string(now) + ", " +
                status_meaning(now));
        p.status = now;
    }
}

}  // namespace app
