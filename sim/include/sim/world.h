// The world of the stand-in simulator: clock, bodies, vessels in creation order, focus, log and
// the events of a run. One world is current at a time; the free functions of the simulator
// interface act on it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "sim/body.h"
#include "sim/event.h"
#include "sim/export.h"
#include "sim/live_set.h"
#include "sim/module_loader.h"
#include "sim/vessel.h"

namespace sim {
SIM_API_BEGIN

// The program's camera: the vessel it looks from and its mode.
struct CameraState {
    Vessel* target = nullptr;
    int mode = CAMERA_MODE_EXTERNAL;
    int attach_calls = 0;  // oapiCameraAttach calls so far
};

// A texture registered by name; the handle modules get is its address.
struct Texture {
    std::string name;
    bool particle = false;  // registered as a particle texture, else an exhaust texture
};

// Simulation time and date run together; the bodies move and turn with the date.
struct Clock {
    double t_s = 0.0;         // simulation time
    double dt_s = 0.0;        // length of the current frame
    double mjd = kMjdJ2000;   // date, modified Julian days of UTC
    double time_accel = 1.0;  // time acceleration reported to modules

    // Moves time and date on by dt seconds. The date keeps what each addition rounds away, so
    // that millions of short frames add up to the same date as one long one.
    void advance(double dt_s);
    // The date dt seconds after the clock's.
    double mjd_after(double dt_s) const { return mjd + (mjd_carry_ + dt_s / kSecondsPerDay); }

  private:
    double mjd_carry_ = 0.0;  // days lost to rounding in the last addition
};

class World {
  public:
    // modules: where the module libraries live, "<class>.so" each.
    explicit World(ModulePath modules = {});
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The world the simulator-interface functions act on; null when none exists.
    static World* current();

    Clock clock;

    // The internal steps of the motion within a frame: short near the ground, where the
    // touchdown springs need them to stay stable, longer in free flight.
    struct StepSchedule {
        double free_s = 0.02;
        double contact_s = 0.001;
    } steps;

    // Bodies.
    Body* body(const std::string& name) const;
    const std::vector<std::unique_ptr<Body>>& bodies() const { return bodies_; }
    // The body whose gravity dominates at a global position.
    Body* dominant_body(const VECTOR3& global_pos) const;

    // Vessels, in creation order.
    const std::vector<std::unique_ptr<Vessel>>& vessels() const { return vessels_; }
    Vessel* vessel(const std::string& name) const;
    // Inline: modules scanning the vessels call both for each vessel, every frame.
    Vessel* vessel_at(std::size_t index) const {
        return index < vessels_.size() ? vessels_[index].get() : nullptr;
    }
    bool owns(const Object* obj) const { return obj && live_.count(obj) > 0; }

    // Creates a vessel of a class: loads its module if needed, constructs the instance and runs
    // its class set-up. Null with one line in error on failure; nothing half-created remains.
    Vessel* create_vessel(const std::string& name, const std::string& class_name,
                          std::string& error);
    // Vessels created while set record their call trace from construction on, class set-up
    // included.
    bool trace_new_vessels = false;
    // Runs the after-creation callback of every vessel that has not had it yet.
    void finish_creation();
    // Destroys one vessel through its module.
    void destroy_vessel(Vessel* v);

    // Runs one frame of dt seconds in its stages: every vessel's clbkBeforeStep in index order,
    // the motion of all vessels, every vessel's clbkPostStep, the clock, the state check, and
    // the frame's events. Throws NonFiniteState when a vessel's state stops being finite.
    void step(double dt_s);
    long frame_count() const { return frames_; }

    // Focus.
    Vessel* focus() const { return focus_; }
    void set_focus(Vessel* v);

    // Camera. Attaching it to a vessel in cockpit mode loads that vessel's generic cockpit.
    CameraState camera;
    void attach_camera(Vessel* v, int mode);

    // Textures, registered once per name and kind.
    Texture* register_texture(const std::string& name, bool particle);
    const std::vector<std::unique_ptr<Texture>>& textures() const { return textures_; }

    // Log: oapiWriteLog lines and the stand-in's warnings.
    void log(const std::string& line);
    void warn(const std::string& line);
    const std::vector<std::string>& log_lines() const { return log_; }
    int warning_count() const { return warnings_; }
    std::function<void(const std::string&)> log_sink;  // also receives every line

    // Events of a run, as the stand-in observes them (keys sent, separations, touchdowns...),
    // handed to event_sink with the simulation time as they happen.
    void event(const Event& e);
    std::function<void(double t_s, const Event& e)> event_sink;

    // The vessel whose callback is running, so that free functions called by its module are
    // recorded in its trace; null between callbacks.
    Vessel* caller() const { return caller_; }
    // The name of the call into the caller's module that is running ("clbkPostStep"), or null.
    const char* caller_call() const { return caller_call_; }
    // How many module calls have begun: a watchdog that sees the same count running twice knows
    // one call has gone on all that time.
    unsigned long calls_begun() const { return calls_begun_; }

    // Serves a vessel class from functions linked into the program instead of a library file,
    // as tests do to reach a module's operations directly.
    void register_builtin_module(const std::string& class_name, VESSEL* (*init)(OBJHANDLE, int),
                                 void (*exit)(VESSEL*));

    const ModulePath& module_path() const { return module_path_; }
    ModuleLibrary* module_for(const std::string& class_name, std::string& error);

  private:
    void warn_missing_meshes(const Vessel& v);

    friend class CallbackScope;
    Vessel* caller_ = nullptr;
    const char* caller_call_ = nullptr;
    unsigned long calls_begun_ = 0;
    ModulePath module_path_;
    std::vector<std::unique_ptr<Body>> bodies_;
    std::vector<std::unique_ptr<Vessel>> vessels_;
    // Every body and vessel, so that a handle is checked without a search: modules check one
    // for each vessel they look at, every frame.
    LiveSet live_;
    std::map<std::string, std::unique_ptr<ModuleLibrary>> modules_;
    Vessel* focus_ = nullptr;
    long frames_ = 0;
    void advance_clock(double dt_s);
    void observe_frame();
    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::string> log_;
    int warnings_ = 0;
    World* previous_ = nullptr;
};

// A vessel's position, velocity, attitude or rotation became infinite or not a number.
struct NonFiniteState : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Marks a vessel's callback as running for its lifetime, with the call's name; nests.
class CallbackScope {
  public:
    CallbackScope(World& w, Vessel* v, const char* call = nullptr)
        : world_(w), previous_(w.caller_), previous_call_(w.caller_call_) {
        w.caller_ = v;
        w.caller_call_ = call;
        ++w.calls_begun_;
    }
    ~CallbackScope() {
        world_.caller_ = previous_;
        world_.caller_call_ = previous_call_;
    }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

  private:
    World& world_;
    Vessel* previous_;
    const char* previous_call_;
};

// A module's code let an exception out of a call into it. The message names the module's class
// and library file, the vessel, the call and the simulated time.
struct ModuleFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws the exception being handled again as a ModuleFault of vessel v's call; one that is a
// ModuleFault already passes unchanged. Only inside a catch block.
[[noreturn]] void rethrow_as_module_fault(const World& w, const Vessel& v, const char* call);

// Calls into vessel v's module as its callback `call` ("clbkPostStep"): the vessel is the
// caller while it runs, and what the module's code throws comes out as a ModuleFault.
template <typename Call>
decltype(auto) call_module(World& w, Vessel& v, const char* call, Call&& c) {
    CallbackScope scope(w, &v, call);
    try {
        return std::forward<Call>(c)();
    } catch (...) {
        rethrow_as_module_fault(w, v, call);
    }
}

// Records a free function's call in the trace of the vessel whose callback runs.
template <typename... Args>
void trace_free(const char* op, const Args&... args) {
    World* w = World::current();
    if (w && w->caller())
        w->caller()->trace.record(op, args...);
}

SIM_API_END
}  // namespace sim
