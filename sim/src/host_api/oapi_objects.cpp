// Free functions of the simulator interface that look up objects, the focus, the camera, the
// clock, textures and the log.
#include <algorithm>
#include <cstring>

#include "argument_checks.h"
#include "host/oapi.h"
#include "sim/world.h"

namespace {

sim::World* world() {
    return sim::World::current();
}

sim::Vessel* live_vessel(OBJHANDLE h) {
    sim::World* w = world();
    auto* obj = static_cast<sim::Object*>(h);
    return w && w->owns(obj) ? sim::as_vessel(h) : nullptr;
}

// The vessel the handle names, or null after warning the calling vessel (once per operation)
// that it names none.
sim::Vessel* checked_vessel(OBJHANDLE h, const char* operation) {
    sim::Vessel* v = live_vessel(h);
    if (sim::World* w = world(); !v && w && w->caller())
        sim::check_object(*w->caller(), operation, "vessel", h, false);
    return v;
}

}  // namespace

void oapiWriteLog(const char* line) {
    sim::trace_free("oapiWriteLog", line);
    if (sim::World* w = world())
        w->log(line ? line : "");
}

OBJHANDLE oapiGetGbodyByName(const char* name) {
    sim::trace_free("oapiGetGbodyByName", name);
    sim::World* w = world();
    if (!w || !name)
        return nullptr;
    sim::Body* b = w->body(name);
    return b ? b->handle() : nullptr;
}

OBJHANDLE oapiGetObjectByName(const char* name) {
    sim::trace_free("oapiGetObjectByName", name);
    sim::World* w = world();
    if (!w || !name)
        return nullptr;
    if (sim::Vessel* v = w->vessel(name))
        return v->handle();
    sim::Body* b = w->body(name);
    return b ? b->handle() : nullptr;
}

void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
    sim::trace_free("oapiGetObjectName", static_cast<const void*>(hObj), n);
    sim::World* w = world();
    auto* obj = static_cast<sim::Object*>(hObj);
    if (w && !w->owns(obj) && w->caller())
        sim::check_object(*w->caller(), "oapiGetObjectName", "object", hObj, false);
    if (!name || n <= 0 || !w || !w->owns(obj))
        return;
    std::size_t count = std::min(obj->name().size(), static_cast<std::size_t>(n - 1));
    std::memcpy(name, obj->name().data(), count);
    name[count] = '\0';
}

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
    sim::trace_free("oapiGetVesselInterface", static_cast<const void*>(hVessel));
    sim::Vessel* v = checked_vessel(hVessel, "oapiGetVesselInterface");
    return v ? v->iface : nullptr;
}

DWORD oapiGetVesselCount() {
    sim::World* w = world();
    return w ? static_cast<DWORD>(w->vessels().size()) : 0;
}

OBJHANDLE oapiGetVesselByIndex(int index) {
    sim::World* w = world();
    if (!w || index < 0)
        return nullptr;
    sim::Vessel* v = w->vessel_at(static_cast<std::size_t>(index));
    return v ? v->handle() : nullptr;
}

OBJHANDLE oapiGetFocusObject() {
    sim::World* w = world();
    return w && w->focus() ? w->focus()->handle() : nullptr;
}

OBJHANDLE oapiSetFocusObject(OBJHANDLE hVessel) {
    sim::trace_free("oapiSetFocusObject", static_cast<const void*>(hVessel));
    sim::World* w = world();
    if (!w)
        return nullptr;
    OBJHANDLE old = w->focus() ? w->focus()->handle() : nullptr;
    if (sim::Vessel* v = checked_vessel(hVessel, "oapiSetFocusObject"))
        w->set_focus(v);
    return old;
}

double oapiGetTimeAcceleration() {
    sim::World* w = world();
    return w ? w->clock.time_accel : 1.0;
}

double oapiGetSimTime() {
    sim::World* w = world();
    return w ? w->clock.t_s : 0.0;
}

bool oapiCameraAttach(OBJHANDLE hObj, int mode) {
    sim::trace_free("oapiCameraAttach", static_cast<const void*>(hObj), mode);
    sim::World* w = world();
    sim::Vessel* v = checked_vessel(hObj, "oapiCameraAttach");
    if (!w || !v)
        return false;
    w->attach_camera(v, mode);
    return true;
}

SURFHANDLE oapiRegisterExhaustTexture(const char* name) {
    sim::trace_free("oapiRegisterExhaustTexture", name);
    sim::World* w = world();
    return w && name ? w->register_texture(name, false) : nullptr;
}

SURFHANDLE oapiRegisterParticleTexture(const char* name) {
    sim::trace_free("oapiRegisterParticleTexture", name);
    sim::World* w = world();
    return w && name ? w->register_texture(name, true) : nullptr;
}

void oapiGetEngineStatus(OBJHANDLE hVessel, ENGINESTATUS* es) {
    if (!es)
        return;
    *es = ENGINESTATUS{0.0, 0.0, 0};
    sim::Vessel* v = checked_vessel(hVessel, "oapiGetEngineStatus");
    if (!v || !v->iface)
        return;
    es->main = v->iface->GetThrusterGroupLevel(THGROUP_MAIN);
    es->hover = v->iface->GetThrusterGroupLevel(THGROUP_HOVER);
}
