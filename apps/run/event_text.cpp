#include "apps/run/event_text.h"

#include <cstdio>

#include "sim/keyboard.h"
#include "sim/number_text.h"
#include "sim/vessel.h"

namespace app {

namespace {

using namespace sim::event;

std::string counted(int n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// "2 particle streams, 40 flares".
std::string effects(const Effects& e) {
    std::string text;
    if (e.streams)
        text = counted(e.streams, "particle stream");
    if (e.flares)
        text += (text.empty() ? "" : ", ") + counted(e.flares, "flare");
    return text;
}

template <typename Item, typename Write>
std::string listed(const std::vector<Item>& items, Write write) {
    std::string text;
    for (const Item& item : items) text += (text.empty() ? "" : ", ") + write(item);
    return text;
}

}  // namespace

void EventText::name_thruster(const std::string& vessel, int thruster, std::string name) {
    thruster_names_[{vessel, thruster}] = std::move(name);
}

std::string EventText::thruster(const sim::Vessel& v, int index) const {
    auto it = thruster_names_.find({v.name(), index});
    return it != thruster_names_.end() ? it->second : "thruster " + std::to_string(index);
}

std::string EventText::operator()(const sim::Event& event) const {
    struct Words {
        const EventText& self;
        std::string operator()(const Focus& e) const { return "focus: " + e.vessel->name(); }
        std::string operator()(const Attach& e) const {
            return e.attached ? "attach: " + e.child->name() + " to " + e.parent->name()
                              : "detach: " + e.child->name() + " from " + e.parent->name();
        }
        std::string operator()(const Key& e) const {
            return "key " + sim::key_name(e.key) + (e.down ? "" : " released") + " to " +
                   e.to->name();
        }
        std::string operator()(const StateSet& e) const {
            return e.by->name() + " set the state of " + e.vessel->name() +
                   ": velocity changed by " + sim::format_fixed(e.velocity_change_m_s, 2) + " m/s";
        }
        std::string operator()(const Touchdown& e) const {
            const auto& td = e.touchdown;
            return e.vessel->name() + " touchdown: vertical " +
                   sim::format_fixed(td.vertical_m_s, 2) + " m/s, horizontal " +
                   sim::format_fixed(td.horizontal_m_s, 2) + " m/s, tilt " +
                   sim::format_fixed(td.tilt_deg, 1) + " deg, propellant " +
                   sim::format_fixed(td.propellant_kg, 1) + " kg";
        }
        std::string operator()(const Liftoff& e) const { return e.vessel->name() + " lifted off"; }
        std::string operator()(const Groups& e) const {
            return e.vessel->name() + (e.lit ? " thrusters lit: " : " thrusters cut: ") +
                   listed(e.groups, [&](const auto& g) {
                       std::string name = sim::group_name(g.first);
                       return e.lit ? name + " " + sim::format_fixed(g.second, 2) : name;
                   });
        }
        std::string operator()(const Effects& e) const {
            return e.vessel->name() + " " + self.thruster(*e.vessel, e.thruster) +
                   (e.on ? " on (" + effects(e) + ")" : " off");
        }
        std::string operator()(const Lights& e) const {
            return e.vessel->name() + (e.spot ? " spot lights" : " beacons") +
                   (e.on ? " on: " : " off: ") +
                   listed(e.numbers, [](int n) { return std::to_string(n); });
        }
        std::string operator()(const TankDry& e) const {
            return e.vessel->name() + " tank " + std::to_string(e.tank) + " ran dry";
        }
        std::string operator()(const Animation& e) const {
            return e.vessel->name() + " animation " + std::to_string(e.animation) +
                   (e.moving ? " moving from " : " at rest at ") + sim::format_fixed(e.state, 3);
        }
    };
    return std::visit(Words{*this}, event);
}

std::string time_prefix(double t_s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%9.2f  ", t_s);
    return buf;
}

}  // namespace app
