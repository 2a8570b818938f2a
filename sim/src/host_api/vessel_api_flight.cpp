// Flight-state queries and frame conversions of a vessel.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "argument_checks.h"
#include "host/oapi.h"
#include "sim/frames.h"
#include "sim/loads.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "sim/vessel.h"
#include "sim/world.h"
#include "vessel_access.h"

namespace {

const sim::World& world_of() {
    return *sim::World::current();
}

}  // namespace

double VESSEL::GetMass() const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetMass");
    return v.mass_kg();
}

double VESSEL::GetAltitude(AltitudeMode mode, int* reslt) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetAltitude", static_cast<int>(mode));
    if (reslt)
        *reslt = v.state.ref ? 0 : 1;
    if (!v.state.ref)
        return 0.0;
    double r = sim::length(v.state.rpos);
    return mode == ALTMODE_GROUND ? r - v.state.ref->ground_radius_m()
                                  : r - v.state.ref->mean_radius_m;
}

bool VESSEL::GetGroundspeedVector(REFFRAME frame, VECTOR3& out) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetGroundspeedVector", static_cast<int>(frame));
    const sim::World& w = world_of();
    VECTOR3 g = sim::ground_velocity(w, v);
    switch (frame) {
        case FRAME_GLOBAL:
            out = g;
            break;
        case FRAME_LOCAL:
            out = sim::tmul(v.state.rot, g);
            break;
        case FRAME_REFLOCAL:
            out = v.state.ref ? sim::tmul(v.state.ref->rotation(w.clock.mjd), g) : g;
            break;
        case FRAME_HORIZON:
            out = sim::mul(sim::global_to_horizon(w, v), g);
            break;
        default:
            out = {0, 0, 0};
            return false;
    }
    return v.state.ref != nullptr;
}

OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetEquPos");
    sim::EquPos e = sim::equ_pos(world_of(), v);
    longitude = e.lng_rad;
    latitude = e.lat_rad;
    radius = e.radius_m;
    return v.state.ref ? v.state.ref->handle() : nullptr;
}

OBJHANDLE VESSEL::GetSurfaceRef() const {
    auto& v = sim::stand_in_of(this);
    return v.state.ref ? v.state.ref->handle() : nullptr;
}

void VESSEL::GetAngularVel(VECTOR3& avel) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetAngularVel");
    avel = v.state.omega;
}

bool VESSEL::GetWeightVector(VECTOR3& G) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetWeightVector");
    // Gravity alone: no need for the other loads.
    G = sim::tmul(v.state.rot, sim::weight_global(v));
    return v.state.ref != nullptr;
}

bool VESSEL::GroundContact() const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GroundContact");
    return v.state.ground_contact || v.state.landed;
}

void VESSEL::GetGlobalPos(VECTOR3& pos) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetGlobalPos");
    pos = sim::global_pos(world_of(), v);
}

void VESSEL::GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetRelativePos", static_cast<const void*>(hRef));
    const sim::World& w = world_of();
    auto* ref = static_cast<const sim::Object*>(hRef);
    if (sim::check_object(v, "GetRelativePos", "object", hRef, w.owns(ref)))
        pos = sim::relative_pos(w, v, *ref);
    else
        pos = sim::global_pos(w, v);
}

void VESSEL::HorizonRot(const VECTOR3& loc, VECTOR3& hor) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("HorizonRot", loc);
    hor = sim::mul(sim::vessel_to_horizon(world_of(), v), loc);
}

void VESSEL::HorizonInvRot(const VECTOR3& hor, VECTOR3& loc) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("HorizonInvRot", hor);
    loc = sim::tmul(sim::vessel_to_horizon(world_of(), v), hor);
}

void VESSEL::GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GlobalRot", rloc);
    rglob = sim::mul(v.state.rot, rloc);
}

void VESSEL::Local2Global(const VECTOR3& local, VECTOR3& global) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("Local2Global", local);
    global = sim::mul(v.state.rot, local) + sim::global_pos(world_of(), v);
}

void VESSEL::Global2Local(const VECTOR3& global, VECTOR3& local) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("Global2Local", global);
    local = sim::tmul(v.state.rot, global - sim::global_pos(world_of(), v));
}

void VESSEL::GetStatusEx(void* status) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetStatusEx", static_cast<const void*>(status));
    auto* s = static_cast<VESSELSTATUS2*>(status);
    if (!s || s->version != 2)
        return;
    s->rbody = v.state.ref ? v.state.ref->handle() : nullptr;
    s->status = v.state.landed ? 1 : 0;
    s->rpos = v.state.rpos;
    s->rvel = v.state.rvel;
    s->vrot = v.state.omega;
    s->arot = sim::euler_from_rotation(v.state.rot);
    if (v.state.landed) {
        sim::EquPos e = sim::equ_from_body_fixed(v.state.landed_pos_body);
        s->surf_lng = e.lng_rad;
        s->surf_lat = e.lat_rad;
        s->surf_hdg = sim::landed_heading(v);
    }
}

void VESSEL::DefSetStateEx(const void* status) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("DefSetStateEx", status);
    const auto* s = static_cast<const VESSELSTATUS2*>(status);
    if (!s || s->version != 2)
        return;
    sim::World& w = *sim::World::current();
    VECTOR3 vel_before = v.state.rvel;
    sim::apply_status(w, v, *s);
    // A module that moves another vessel is worth a line of the run.
    if (w.caller() && w.caller() != &v)
        w.event(sim::event::StateSet{w.caller(), &v, sim::length(v.state.rvel - vel_before)});
}
