#include "sim/world.h"

#include <cmath>
#include <cstdio>

#include "crash_context.h"
#include "effect_events.h"
#include "host/animation.h"
#include "host/interface_version.h"
#include "sim/number_text.h"
#include "sim/solar_system.h"

namespace sim {

namespace {
World* g_current = nullptr;
}

World::World(ModulePath modules) : module_path_(std::move(modules)), previous_(g_current) {
    bodies_ = make_solar_system();
    for (const auto& b : bodies_) live_.insert(b.get());
    g_current = this;
}

World::~World() {
    // Vessels go first, through their modules, newest first; then the libraries.
    while (!vessels_.empty()) destroy_vessel(vessels_.back().get());
    for (auto& [name, lib] : modules_) unload_module_library(*lib);
    g_current = previous_;
}

void Clock::advance(double dt) {
    t_s += dt;
    double step = dt / kSecondsPerDay + mjd_carry_;
    double next = mjd + step;
    mjd_carry_ = step - (next - mjd);
    mjd = next;
}

void rethrow_as_module_fault(const World& w, const Vessel& v, const char* call) {
    const std::string file = v.module() ? " (" + v.module()->path + ")" : "";
    const std::string where = "module " + v.class_name() + file + ": vessel " + v.name() + ": " +
                              call + " threw at t = " + format_fixed(w.clock.t_s, 3) + " s: ";
    try {
        throw;
    } catch (const ModuleFault&) {
        throw;
    } catch (const std::exception& e) {
        throw ModuleFault(where + e.what());
    } catch (...) {
        throw ModuleFault(where + "an exception of no standard type");
    }
}

World* World::current() {
    return g_current;
}

Body* World::body(const std::string& name) const {
    for (const auto& b : bodies_)
        if (b->name() == name)
            return b.get();
    return nullptr;
}

Body* World::dominant_body(const VECTOR3& global_pos) const {
    // The nearest planet whose sphere of influence holds the point, a (m / M_sun)^(2/5) with a
    // its distance from the Sun; the Sun everywhere else.
    Body* sun = body("Sun");
    Body* best = sun;
    double best_r = 0.0;
    for (const auto& b : bodies_) {
        if (b.get() == sun || !sun)
            continue;
        VECTOR3 at = b->position(clock.mjd);
        double r = length(global_pos - at);
        double soi =
            length(at - sun->position(clock.mjd)) * std::pow(b->gm_m3_s2 / sun->gm_m3_s2, 0.4);
        if (r < soi && (best == sun || r < best_r)) {
            best = b.get();
            best_r = r;
        }
    }
    return best;
}

Vessel* World::vessel(const std::string& name) const {
    for (const auto& v : vessels_)
        if (v->name() == name)
            return v.get();
    return nullptr;
}

void World::register_builtin_module(const std::string& class_name, VESSEL* (*init)(OBJHANDLE, int),
                                    void (*exit)(VESSEL*)) {
    auto lib = std::make_unique<ModuleLibrary>();
    lib->class_name = class_name;
    lib->path = "(built in) " + class_name;
    lib->ovcInit = init;
    lib->ovcExit = exit;
    modules_[class_name] = std::move(lib);
}

ModuleLibrary* World::module_for(const std::string& class_name, std::string& error) {
    auto it = modules_.find(class_name);
    if (it != modules_.end())
        return it->second.get();
    if (!is_module_class_name(class_name)) {
        error = "the class name must name a module in the modules folder, without a path";
        return nullptr;
    }
    std::string path = find_module_file(module_path_, class_name, error);
    if (path.empty())
        return nullptr;
    auto lib = std::make_unique<ModuleLibrary>();
    lib->class_name = class_name;
    if (!load_module_library(path, *lib, error))
        return nullptr;
    int version = 0;
    {
        LibraryScope asking(path, "loading");
        version = lib->GetModuleVersion();
    }
    // A library built against other headers may disagree with this stand-in on any record.
    if (version != VESSELSIM_INTERFACE_VERSION)
        warn("module " + path + ": GetModuleVersion gives " + std::to_string(version) +
             ", not the interface version " + std::to_string(VESSELSIM_INTERFACE_VERSION) +
             " (" VESSELSIM_INTERFACE_DATE
             ") of this stand-in: build it with the module frame "
             "and the headers of this kit");
    return modules_.emplace(class_name, std::move(lib)).first->second.get();
}

Vessel* World::create_vessel(const std::string& name, const std::string& class_name,
                             std::string& error) {
    if (name.empty()) {
        error = "a vessel needs a name";
        return nullptr;
    }
    if (vessel(name)) {
        error = "a vessel named " + name + " exists already";
        return nullptr;
    }
    ModuleLibrary* lib = module_for(class_name, error);
    if (!lib)
        return nullptr;
    auto v = std::make_unique<Vessel>(name, class_name, lib);
    v->trace.enabled = trace_new_vessels;
    v->iface = call_module(*this, *v, "ovcInit", [&] { return lib->ovcInit(v->handle(), 1); });
    if (!v->iface) {
        error = "module " + lib->path + " created no vessel for " + name;
        return nullptr;
    }
    Vessel* raw = v.get();
    vessels_.push_back(std::move(v));
    live_.insert(raw);
    if (!focus_)
        focus_ = raw;
    if (VESSEL2* cb = raw->callbacks())
        call_module(*this, *raw, "clbkClassSetup", [&] { cb->clbkClassSetup(nullptr); });
    return raw;
}

void World::finish_creation() {
    for (std::size_t i = 0; i < vessels_.size(); ++i) {
        Vessel* v = vessels_[i].get();
        if (v->after_creation_done)
            continue;
        v->after_creation_done = true;
        if (VESSEL2* cb = v->callbacks())
            call_module(*this, *v, "clbkAfterCreation", [&] { cb->clbkAfterCreation(); });
        take_effects_as_seen(*v);
        if (!(v->own_mass_kg() > 0.0))
            warn("vessel " + v->name() + " (class " + v->class_name() +
                 ") has no mass at the end of its set-up: it would fly at 0 kg; give it one "
                 "with SetEmptyMass");
        warn_missing_meshes(*v);
    }
}

// An animation component may be declared before its mesh is added; once the vessel is set up,
// one that moves a mesh the vessel does not have is told about (once per vessel).
void World::warn_missing_meshes(const Vessel& v) {
    for (const auto& c : v.animation_components)
        if (c->transform && c->transform->mesh >= v.meshes.size()) {
            warn("vessel " + v.name() + " (class " + v.class_name() +
                 "): an animation component moves mesh " + std::to_string(c->transform->mesh) +
                 ", which the vessel does not have; it moves nothing");
            return;
        }
}

void World::destroy_vessel(Vessel* v) {
    for (auto it = vessels_.begin(); it != vessels_.end(); ++it) {
        if (it->get() != v)
            continue;
        // Loosen every attachment that involves it.
        for (auto& a : v->attachments)
            if (a->attached && a->peer) {
                a->peer->attached = nullptr;
                a->peer->peer = nullptr;
            }
        if (v->iface && v->module()) {
            // The vessel goes whatever its module does; a fault here is told, not thrown, as
            // vessels also go while the world ends.
            try {
                call_module(*this, *v, "ovcExit", [&] { v->module()->ovcExit(v->iface); });
            } catch (const ModuleFault& e) {
                warn(e.what());
            }
        }
        v->iface = nullptr;
        if (focus_ == v)
            focus_ = nullptr;
        live_.erase(v);
        vessels_.erase(it);
        if (!focus_ && !vessels_.empty())
            focus_ = vessels_.front().get();
        return;
    }
}

void World::set_focus(Vessel* v) {
    if (v == focus_)
        return;
    Vessel* old = focus_;
    focus_ = v;
    if (v)
        event(event::Focus{v});
    if (old && old->callbacks())
        call_module(*this, *old, "clbkFocusChanged", [&] {
            old->callbacks()->clbkFocusChanged(false, v ? v->handle() : nullptr, old->handle());
        });
    if (v && v->callbacks())
        call_module(*this, *v, "clbkFocusChanged", [&] {
            v->callbacks()->clbkFocusChanged(true, v->handle(), old ? old->handle() : nullptr);
        });
}

void World::attach_camera(Vessel* v, int mode) {
    ++camera.attach_calls;
    if (!v)
        return;
    // The cockpit is loaded on entering it: another vessel, or a switch from the outside view.
    bool entering = camera.target != v || (mode == CAMERA_MODE_COCKPIT && camera.mode != mode);
    if (mode != CAMERA_MODE_KEEP)
        camera.mode = mode;
    camera.target = v;
    if (entering && camera.mode == CAMERA_MODE_COCKPIT && v->callbacks())
        call_module(*this, *v, "clbkLoadGenericCockpit",
                    [&] { v->callbacks()->clbkLoadGenericCockpit(); });
}

Texture* World::register_texture(const std::string& name, bool particle) {
    if (name.empty())
        return nullptr;
    for (const auto& t : textures_)
        if (t->name == name && t->particle == particle)
            return t.get();
    textures_.push_back(std::make_unique<Texture>(Texture{name, particle}));
    return textures_.back().get();
}

void World::log(const std::string& line) {
    log_.push_back(line);
    if (log_sink)
        log_sink(line);
}

void World::warn(const std::string& line) {
    ++warnings_;
    log("warning: " + line);
}

void World::event(const Event& e) {
    if (event_sink)
        event_sink(clock.t_s, e);
}

}  // namespace sim
