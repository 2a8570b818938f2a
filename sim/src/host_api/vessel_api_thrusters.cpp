// Propellant resources, thrusters, thruster groups and their visual effects.
#include <algorithm>

#include "sim/vec.h"
#include "sim/vessel.h"
#include "vessel_access.h"

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass,
                                                   double efficiency) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreatePropellantResource", maxmass, mass, efficiency);
    auto p = std::make_unique<sim::Propellant>();
    p->max_mass_kg = std::max(maxmass, 0.0);
    p->mass_kg = mass < 0.0 ? p->max_mass_kg : std::min(mass, p->max_mass_kg);
    p->efficiency = efficiency;
    v.propellants.push_back(std::move(p));
    return v.propellants.back().get();
}

double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
    const sim::Propellant* p = sim::stand_in_of(this).propellant(ph);
    return p ? p->mass_kg : 0.0;
}

void VESSEL::SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetPropellantMass", ph, mass);
    if (sim::Propellant* p = v.propellant(ph))
        p->mass_kg = std::clamp(mass, 0.0, p->max_mass_kg);
}

double VESSEL::GetPropellantMaxMass(PROPELLANT_HANDLE ph) const {
    const sim::Propellant* p = sim::stand_in_of(this).propellant(ph);
    return p ? p->max_mass_kg : 0.0;
}

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                       PROPELLANT_HANDLE hp, double isp0, double isp_ref,
                                       double p_ref) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreateThruster", pos, dir, maxth0, hp, isp0, isp_ref, p_ref);
    auto t = std::make_unique<sim::Thruster>();
    t->pos = pos;
    t->dir = sim::unit(dir);
    t->max_thrust_n = maxth0;
    t->tank = v.propellant(hp);
    t->isp_m_s = isp0;
    t->isp_ref_m_s = isp_ref;
    t->p_ref_pa = p_ref;
    v.thrusters.push_back(std::move(t));
    return v.thrusters.back().get();
}

THGROUP_HANDLE VESSEL::CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreateThrusterGroup", static_cast<const void*>(th), nth,
                   static_cast<int>(thgt));
    auto g = std::make_unique<sim::ThrusterGroup>();
    g->type = thgt;
    for (int i = 0; th && i < nth; ++i)
        if (sim::Thruster* t = v.thruster(th[i]))
            g->thrusters.push_back(t);
    // A type other than a user group exists once: a new definition replaces the old one.
    if (thgt != THGROUP_USER)
        std::erase_if(v.groups, [&](const auto& old) { return old->type == thgt; });
    v.groups.push_back(std::move(g));
    return v.groups.back().get();
}

void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetThrusterLevel", th, level);
    if (sim::Thruster* t = v.thruster(th))
        t->level = std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0);
}

double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
    const sim::Thruster* t = sim::stand_in_of(this).thruster(th);
    return t ? t->level : 0.0;
}

void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetThrusterGroupLevel", static_cast<int>(thgt), level);
    if (sim::ThrusterGroup* g = v.group(thgt)) {
        double l = std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0);
        for (sim::Thruster* t : g->thrusters) t->level = l;
    }
}

double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE thgt) const {
    const sim::ThrusterGroup* g = sim::stand_in_of(this).group(thgt);
    return g ? g->level() : 0.0;
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaust", th, lscale, wscale, tex);
    v.exhausts.push_back({v.thruster(th), lscale, wscale, tex});
    return static_cast<UINT>(v.exhausts.size() - 1);
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3& pos,
                        const VECTOR3& dir, SURFHANDLE tex) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaust", th, lscale, wscale, pos, dir, tex);
    v.exhausts.push_back({v.thruster(th), lscale, wscale, tex, true, pos, dir});
    return static_cast<UINT>(v.exhausts.size() - 1);
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, PARTICLESTREAMSPEC* pss) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaustStream", th, static_cast<const void*>(pss));
    auto s = std::make_unique<sim::ParticleStream>();
    s->thruster = v.thruster(th);
    if (pss)
        s->stream = *pss;
    v.streams.push_back(std::move(s));
    return v.streams.back().get();
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos,
                                        PARTICLESTREAMSPEC* pss) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaustStream", th, pos, static_cast<const void*>(pss));
    auto s = std::make_unique<sim::ParticleStream>();
    s->thruster = v.thruster(th);
    s->has_pos = true;
    s->pos = pos;
    if (pss)
        s->stream = *pss;
    v.streams.push_back(std::move(s));
    return v.streams.back().get();
}
