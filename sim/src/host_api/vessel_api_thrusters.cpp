// Propellant resources, thrusters, thruster groups and their visual effects.
#include <algorithm>
#include <cmath>

#include "argument_checks.h"
#include "sim/number_text.h"
#include "sim/vec.h"
#include "sim/vessel.h"
#include "vessel_access.h"

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass,
                                                   double efficiency) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreatePropellantResource", maxmass, mass, efficiency);
    const char* op = "CreatePropellantResource";
    if (!sim::check_non_negative(v, op, "maxmass", maxmass, "taken as 0"))
        maxmass = 0.0;
    // A negative mass, -1 by default, fills the tank.
    if (std::isnan(mass) || std::isinf(mass)) {
        sim::warn_argument(v, op, [&] {
            return "mass " + std::string(std::isnan(mass) ? "nan" : "infinite") +
                   " is not a number; the tank is filled";
        });
        mass = -1.0;
    }
    if (!sim::check_positive(v, op, "efficiency", efficiency, "taken as 1"))
        efficiency = 1.0;
    auto p = std::make_unique<sim::Propellant>();
    p->max_mass_kg = maxmass;
    p->mass_kg = mass < 0.0 ? p->max_mass_kg : std::min(mass, p->max_mass_kg);
    p->efficiency = efficiency;
    v.propellants.push_back(std::move(p));
    return v.propellants.back().get();
}

double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
    auto& v = sim::stand_in_of(this);
    const sim::Propellant* p = v.propellant(ph);
    if (!p)
        sim::check_handle(v, "GetPropellantMass", "propellant resource", ph, false);
    return p ? p->mass_kg : 0.0;
}

void VESSEL::SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetPropellantMass", ph, mass);
    sim::Propellant* p = v.propellant(ph);
    if (!sim::check_handle(v, "SetPropellantMass", "propellant resource", ph, p != nullptr))
        return;
    if (std::isnan(mass)) {
        sim::warn_argument(v, "SetPropellantMass", [] {
            return std::string("mass nan is not a number; the tank keeps its mass");
        });
        return;
    }
    if (mass < 0.0 || mass > p->max_mass_kg)
        sim::warn_argument(v, "SetPropellantMass", [&] {
            return "mass " + sim::format_double(mass) + " is not within 0 and the tank's " +
                   sim::format_double(p->max_mass_kg) + " kg; taken as the nearer";
        });
    p->mass_kg = std::clamp(mass, 0.0, p->max_mass_kg);
}

double VESSEL::GetPropellantMaxMass(PROPELLANT_HANDLE ph) const {
    auto& v = sim::stand_in_of(this);
    const sim::Propellant* p = v.propellant(ph);
    if (!p)
        sim::check_handle(v, "GetPropellantMaxMass", "propellant resource", ph, false);
    return p ? p->max_mass_kg : 0.0;
}

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                       PROPELLANT_HANDLE hp, double isp0, double isp_ref,
                                       double p_ref) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreateThruster", pos, dir, maxth0, hp, isp0, isp_ref, p_ref);
    const char* op = "CreateThruster";
    auto t = std::make_unique<sim::Thruster>();
    if (sim::check_vector(v, op, "pos", pos, false, "taken as (0, 0, 0)"))
        t->pos = pos;
    const bool has_direction =
        sim::check_vector(v, op, "dir", dir, false, "taken as (0, 0, 1)") && sim::length(dir) > 0;
    if (!has_direction && std::isfinite(sim::length(dir)))
        sim::warn_argument(v, op, [] {
            return std::string("dir (0, 0, 0) has no direction; taken as (0, 0, 1)");
        });
    t->dir = has_direction ? sim::unit(dir) : VECTOR3{0, 0, 1};
    t->max_thrust_n =
        sim::check_non_negative(v, op, "maxth0", maxth0, "taken as 0: no thrust") ? maxth0 : 0.0;
    t->tank = v.propellant(hp);
    if (hp && !t->tank)
        sim::check_handle(v, op, "propellant resource", hp, false);
    t->isp_m_s = sim::check_non_negative(v, op, "isp0", isp0, "taken as 0: no propellant burnt")
                     ? isp0
                     : 0.0;
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
    if (!th && nth > 0)
        sim::warn_argument(v, "CreateThrusterGroup",
                           [] { return std::string("a null thruster list; the group is empty"); });
    for (int i = 0; th && i < nth; ++i) {
        sim::Thruster* t = v.thruster(th[i]);
        if (sim::check_handle(v, "CreateThrusterGroup", "thruster", th[i], t != nullptr))
            g->thrusters.push_back(t);
    }
    // A type other than a user group exists once: a new definition replaces the old one.
    if (thgt != THGROUP_USER)
        std::erase_if(v.groups, [&](const auto& old) { return old->type == thgt; });
    v.groups.push_back(std::move(g));
    return v.groups.back().get();
}

void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetThrusterLevel", th, level);
    sim::Thruster* t = v.thruster(th);
    if (!sim::check_handle(v, "SetThrusterLevel", "thruster", th, t != nullptr))
        return;
    t->level = sim::checked_level(v, "SetThrusterLevel", level);
}

double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
    auto& v = sim::stand_in_of(this);
    const sim::Thruster* t = v.thruster(th);
    if (!t)
        sim::check_handle(v, "GetThrusterLevel", "thruster", th, false);
    return t ? t->level : 0.0;
}

void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetThrusterGroupLevel", static_cast<int>(thgt), level);
    const double l = sim::checked_level(v, "SetThrusterGroupLevel", level);
    if (sim::ThrusterGroup* g = v.group(thgt))
        for (sim::Thruster* t : g->thrusters) t->level = l;
}

double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE thgt) const {
    const sim::ThrusterGroup* g = sim::stand_in_of(this).group(thgt);
    return g ? g->level() : 0.0;
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaust", th, lscale, wscale, tex);
    sim::check_handle(v, "AddExhaust", "thruster", th, v.thruster(th) != nullptr);
    v.exhausts.push_back({v.thruster(th), lscale, wscale, tex});
    return static_cast<UINT>(v.exhausts.size() - 1);
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3& pos,
                        const VECTOR3& dir, SURFHANDLE tex) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaust", th, lscale, wscale, pos, dir, tex);
    sim::check_handle(v, "AddExhaust", "thruster", th, v.thruster(th) != nullptr);
    v.exhausts.push_back({v.thruster(th), lscale, wscale, tex, true, pos, dir});
    return static_cast<UINT>(v.exhausts.size() - 1);
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, PARTICLESTREAMSPEC* pss) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddExhaustStream", th, static_cast<const void*>(pss));
    auto s = std::make_unique<sim::ParticleStream>();
    s->thruster = v.thruster(th);
    sim::check_handle(v, "AddExhaustStream", "thruster", th, !th || s->thruster);
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
    sim::check_handle(v, "AddExhaustStream", "thruster", th, !th || s->thruster);
    s->has_pos = true;
    s->pos = pos;
    if (pss)
        s->stream = *pss;
    v.streams.push_back(std::move(s));
    return v.streams.back().get();
}
