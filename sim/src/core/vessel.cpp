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

Attachment* Vessel::hanging_point() const {
    for (const auto& a : attachments)
        if (a->to_parent && a->attached)
            return a.get();
    return nullptr;
}

Vessel* Vessel::parent() const {
    const Attachment* up = hanging_point();
    return up ? up->attached : nullptr;
}

double Vessel::propellant_mass_kg() const {
    double m = 0.0;
    for (const auto& p : propellants) m += p->mass_kg;
    return m;
}

double Vessel::own_mass_kg() const {
    return config.empty_mass_kg + propellant_mass_kg();
}

double Vessel::mass_kg() const {
    double m = own_mass_kg();
    for_each_hanging(*this, [&](const Vessel& d) { m += d.own_mass_kg(); });
    return m;
}

namespace {

// The first child hanging on v from its attachment point `from` on, or null.
Vessel* child_from(const Vessel& v, std::size_t from) {
    for (std::size_t i = from; i < v.attachments.size(); ++i)
        if (!v.attachments[i]->to_parent && v.attachments[i]->attached)
            return v.attachments[i]->attached;
    return nullptr;
}

}  // namespace

Vessel* next_hanging(const Vessel& root, const Vessel& v, int* levels) {
    int moved = 1;
    Vessel* next = child_from(v, 0);
    // Without children, the next sibling of v or of its nearest ancestor below root that has one.
    for (const Vessel* n = &v; !next && n != &root; --moved) {
        const Attachment* up = n->hanging_point();
        if (!up || !up->peer)
            return nullptr;
        const Vessel& p = *up->attached;
        std::size_t held_at = 0;
        while (held_at < p.attachments.size() && p.attachments[held_at].get() != up->peer)
            ++held_at;
        next = child_from(p, held_at + 1);
        n = &p;
    }
    if (next && levels)
        *levels += moved;
    return next;
}

int levels_below(const Vessel& v) {
    int level = 0, deepest = 0;
    for (Vessel* d = next_hanging(v, v, &level); d; d = next_hanging(v, *d, &level))
        deepest = std::max(deepest, level);
    return deepest;
}

int levels_above(const Vessel& v) {
    int n = 0;
    for (const Vessel* p = v.parent(); p; p = p->parent()) ++n;
    return n;
}

Vessel* as_vessel(OBJHANDLE h) {
    auto* obj = static_cast<Object*>(h);
    if (!obj || obj->kind() != Object::Kind::Vessel)
        return nullptr;
    return static_cast<Vessel*>(obj);
}

}  // namespace sim
