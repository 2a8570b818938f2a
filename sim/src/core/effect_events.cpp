#include "effect_events.h"

#include <string>

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

std::string counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// "2 particle streams, 40 flares": what a thruster carries; empty when nothing.
std::string effects_of(const Vessel& v, const Thruster* t) {
    std::size_t streams = 0, flares = 0;
    for (const auto& s : v.streams) streams += s->thruster == t;
    for (const auto& e : v.exhausts) flares += e.thruster == t;
    std::string text;
    if (streams)
        text = counted(streams, "particle stream");
    if (flares)
        text += (text.empty() ? "" : ", ") + counted(flares, "flare");
    return text;
}

// Appends the 1-based number of each switched item to the list of its new state.
template <typename Items, typename Active>
void report_switches(World& w, const Vessel& v, Items& items, Active active, const char* what) {
    std::string on, off;
    for (std::size_t i = 0; i < items.size(); ++i) {
        bool now = active(items[i]);
        if (now == items[i].observed_active)
            continue;
        items[i].observed_active = now;
        std::string& list = now ? on : off;
        list += (list.empty() ? "" : ", ") + std::to_string(i + 1);
    }
    if (!on.empty())
        w.event(v.name() + " " + what + " on: " + on);
    if (!off.empty())
        w.event(v.name() + " " + what + " off: " + off);
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
        std::string effects = effects_of(v, &t);
        if (effects.empty())
            continue;
        t.effects_lit = lit;
        std::string name = t.label.empty() ? "thruster " + std::to_string(i) : t.label;
        w.event(v.name() + " " + name + (lit ? " on (" + effects + ")" : " off"));
    }
    report_switches(
        w, v, v.beacons, [](const Beacon& b) { return b.light->active; }, "beacons");
    report_switches(
        w, v, v.spot_lights, [](const SpotLight& s) { return s.light->IsActive(); }, "spot lights");
}

}  // namespace sim
