#include "sim/vessel.h"

#include <algorithm>

namespace sim {

Vessel::Vessel(std::string name, std::string class_name, ModuleLibrary* module)
    : Object(Kind::Vessel, std::move(name)), class_name_(std::move(class_name)), module_(module) {}

Vessel::~Vessel() = default;

VESSEL2* Vessel::callbacks() const {
    return iface && iface->Version() >= 1 ? static_cast<VESSEL2*>(iface) : nullptr;
}

VESSEL3* Vessel::callbacks3() const {
    return iface && iface->Version() >= 2 ? static_cast<VESSEL3*>(iface) : nullptr;
}

ThrusterGroup* Vessel::group(THGROUP_TYPE type) const {
    for (const auto& g : groups)
        if (g->type == type)
            return g.get();
    return nullptr;
}

template <typename T>
static T* find_owned(const std::vector<std::unique_ptr<T>>& list, const void* h) {
    for (const auto& p : list)
        if (p.get() == h)
            return p.get();
    return nullptr;
}

Thruster* Vessel::thruster(THRUSTER_HANDLE th) const {
    return find_owned(thrusters, th);
}
Propellant* Vessel::propellant(PROPELLANT_HANDLE ph) const {
    return find_owned(propellants, ph);
}
Attachment* Vessel::attachment(ATTACHMENTHANDLE ah) const {
    return find_owned(attachments, ah);
}

Attachment* Vessel::attachment_point(bool to_parent, std::size_t index) const {
    std::size_t i = 0;
    for (const auto& a : attachments) {
        if (a->to_parent != to_parent)
            continue;
        if (i++ == index)
            return a.get();
    }
    return nullptr;
}

Animation* Vessel::animation(UINT anim) const {
    return anim < animations.size() ? animations[anim].get() : nullptr;
}

Vessel* Vessel::parent() const {
    for (const auto& a : attachments)
        if (a->to_parent && a->attached)
            return a->attached;
    return nullptr;
}

double Vessel::propellant_mass_kg() const {
    double m = 0.0;
    for (const auto& p : propellants) m += p->mass_kg;
    return m;
}

double Vessel::mass_kg() const {
    double m = config.empty_mass_kg + propellant_mass_kg();
    for (const auto& a : attachments)
        if (!a->to_parent && a->attached)
            m += a->attached->mass_kg();
    return m;
}

Vessel* as_vessel(OBJHANDLE h) {
    auto* obj = static_cast<Object*>(h);
    if (!obj || obj->kind() != Object::Kind::Vessel)
        return nullptr;
    return static_cast<Vessel*>(obj);
}

}  // namespace sim
