#include "effect_events.h"

#include "sim/world.h"

namespace sim {

namespace {

bool in_a_group(const Vessel& v, const Thruster* t) {
    for (const auto& g : v.groups)
        for (const Thruster* member : g->thrusters)
            if (member == t)
                return true;
    return false;
}

// The 1-based numbers of the items that switched, in the event of their new state.
template <typename Items, typename Active>
void report_switches(World& w, const Vessel& v, Items& items, Active active, bool spot) {
    event::Lights on{&v, spot, true, {}}, off{&v, spot, false, {}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        bool now = active(items[i]);
        if (now == items[i].observed_active)
            continue;
        items[i].observed_active = now;
        (now ? on : off).numbers.push_back(static_cast<int>(i + 1));
    }
    if (!on.numbers.empty())
        w.event(on);
    if (!off.numbers.empty())
        w.event(off);
}

}  // namespace

void take_effects_as_seen(Vessel& v) {
    for (auto& t : v.thrusters) t->effects_lit = t->level > 0.0;
    for (Beacon& b : v.beacons) b.observed_active = b.light->active;
    for (SpotLight& s : v.spot_lights) s.observed_active = s.light->IsActive();
}

void report_effect_changes(World& w, Vessel& v) {
    for (std::size_t i = 0; i < v.thrusters.size(); ++i) {
        Thruster& t = *v.thrusters[i];
        bool lit = t.level > 0.0;
        if (lit == t.effects_lit || in_a_group(v, &t))
            continue;
        int streams = 0, flares = 0;
        for (const auto& s : v.streams) streams += s->thruster == &t;
        for (const auto& e : v.exhausts) flares += e.thruster == &t;
        if (streams == 0 && flares == 0)
            continue;
        t.effects_lit = lit;
        w.event(event::Effects{&v, static_cast<int>(i), lit, streams, flares});
    }
    report_switches(
        w, v, v.beacons, [](const Beacon& b) { return b.light->active; }, false);
    report_switches(
        w, v, v.spot_lights, [](const SpotLight& s) { return s.light->IsActive(); }, true);
}

}  // namespace sim
