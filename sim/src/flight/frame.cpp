// One frame of the world, and what the stand-in observes in it.
#include <cmath>
#include <cstdio>

#include "core/effect_events.h"
#include "sim/number_text.h"
#include "sim/physics.h"
#include "sim/world.h"

namespace sim {

namespace {

using ModuleStep = void (VESSEL2::*)(double simt, double simdt, double mjd);

// By index: a module may create vessels while its callback runs.
void run_modules(World& w, ModuleStep callback, const char* name, double t_s, double dt_s,
                 double mjd) {
    const auto& vessels = w.vessels();
    for (std::size_t i = 0; i < vessels.size(); ++i) {
        Vessel* v = vessels[i].get();
        if (VESSEL2* cb = v->callbacks())
            call_module(w, *v, name, [&] { (cb->*callback)(t_s, dt_s, mjd); });
    }
}

void check_state(const World& w) {
    for (const auto& v : w.vessels())
        if (!finite_state(v->state))
            throw NonFiniteState("vessel " + v->name() + ": state not finite in frame " +
                                 std::to_string(w.frame_count()) +
                                 " (t = " + format_fixed(w.clock.t_s, 3) + " s)");
}

}  // namespace

// One frame in its stages: modules before the step, motion, modules after the step, clock,
// state check, events.
void World::step(double dt_s) {
    clock.dt_s = dt_s;
    const double t = clock.t_s, mjd = clock.mjd;
    run_modules(*this, &VESSEL2::clbkBeforeStep, "clbkBeforeStep", t, dt_s, mjd);
    advance_motion(*this, dt_s);
    run_modules(*this, &VESSEL2::clbkPostStep, "clbkPostStep", t, dt_s, mjd);
    advance_clock(dt_s);
    check_state(*this);
    observe_frame();
}

// Time, date and the frame count move on together; the bodies follow the date.
void World::advance_clock(double dt_s) {
    clock.advance(dt_s);
    ++frames_;
}

namespace {

void observe_ground(World& w, Vessel& v) {
    if (v.state.touchdown_pending) {
        v.state.touchdown_pending = false;
        w.event(event::Touchdown{&v, v.state.touchdowns.back()});
    }
    if (v.state.liftoff_pending) {
        v.state.liftoff_pending = false;
        w.event(event::Liftoff{&v});
    }
}

// A tank found empty at the first frame observed was never seen to run dry.
void observe_tanks(World& w, Vessel& v) {
    for (std::size_t t = 0; t < v.propellants.size(); ++t) {
        Propellant& p = *v.propellants[t];
        const int dry = p.mass_kg <= 0.0 ? 1 : 0;
        if (dry && p.observed_dry == 0)
            w.event(event::TankDry{&v, static_cast<int>(t)});
        p.observed_dry = dry;
    }
}

// Groups that share thrusters light up together: one event per vessel and frame.
void observe_groups(World& w, Vessel& v) {
    event::Groups lit_now{&v, true, {}}, cut_now{&v, false, {}};
    for (const auto& g : v.groups) {
        double level = g->level();
        bool lit = level >= kGroupLitLevel;
        if (lit == g->lit)
            continue;
        g->lit = lit;
        (lit ? lit_now : cut_now).groups.emplace_back(g->type, level);
    }
    if (!lit_now.groups.empty())
        w.event(lit_now);
    if (!cut_now.groups.empty())
        w.event(cut_now);
}

// The pose of the first frame is where an animation starts, not a motion.
void observe_animations(World& w, Vessel& v) {
    for (std::size_t a = 0; a < v.animations.size(); ++a) {
        Animation& anim = *v.animations[a];
        if (!anim.observed) {
            anim.observed = true;
            anim.observed_state = anim.state;
            continue;
        }
        bool moving = anim.state != anim.observed_state;
        if (moving != anim.moving) {
            anim.moving = moving;
            w.event(event::Animation{&v, static_cast<int>(a), moving,
                                     moving ? anim.observed_state : anim.state});
        }
        anim.observed_state = anim.state;
    }
}

}  // namespace

// The frame's events, vessel by vessel: touchdowns, lift-offs, effects, tanks run dry, thruster
// groups and animations.
void World::observe_frame() {
    for (std::size_t i = 0; i < vessels_.size(); ++i) {
        Vessel& v = *vessels_[i];
        observe_ground(*this, v);
        report_effect_changes(*this, v);
        observe_tanks(*this, v);
        observe_groups(*this, v);
        observe_animations(*this, v);
    }
}

}  // namespace sim
