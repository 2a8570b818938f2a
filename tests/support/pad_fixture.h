// Pads created in-process from the pad's own code, placed in plain global coordinates (no
// reference body) and driven frame by frame through their callbacks, and rockets that are test
// vessels whose main-engine level the test sets.
#pragma once

#include <cstdio>
#include <string>

#include "launchpad/b_tvm58.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

inline b_tvm58& pad_of(sim::Vessel* v) {
    return *static_cast<b_tvm58*>(v->iface);
}

// A handle as the call trace writes it.
inline std::string trace_ptr(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

class PadTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        world->register_builtin_module(
            "b_tvm58", [](OBJHANDLE h, int fmodel) -> VESSEL* { return new b_tvm58(h, fmodel); },
            [](VESSEL* v) { delete static_cast<b_tvm58*>(v); });
        register_test_vessel(*world);
    }

    // A pad at a global position, frame axes along the global axes. Seen from there, the Sun at
    // the origin stands at elevation sine -pos.z/|pos| above the pad's ground plane: a pad at
    // +z has night, at -z day.
    sim::Vessel* add_pad(const std::string& name = "Pad", VECTOR3 pos = night_pos) {
        sim::Vessel* v = create(name, "b_tvm58");
        put(v, pos);
        return v;
    }

    // A vessel with one main engine of 1000 N at the level main_level.
    sim::Vessel* add_rocket(const std::string& name, VECTOR3 pos, double main_level = 0.0) {
        set_next_test_vessel_setup([](test_vessel& t) {
            THRUSTER_HANDLE th = t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1000);
            t.CreateThrusterGroup(&th, 1, THGROUP_MAIN);
        });
        sim::Vessel* v = create(name, "test_vessel");
        set_next_test_vessel_setup(nullptr);
        put(v, pos);
        set_main(v, main_level);
        return v;
    }

    static void put(sim::Vessel* v, VECTOR3 pos) {
        v->state.ref = nullptr;
        v->state.rpos = pos;
        v->state.rot = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    }
    static void set_main(sim::Vessel* v, double level) {
        v->iface->SetThrusterGroupLevel(THGROUP_MAIN, level);
    }

    // One frame of the pad alone: its two step callbacks, as the simulator calls them.
    void frame(sim::Vessel* pad, double dt_s) {
        sim::CallbackScope scope(*world, pad);
        pad_of(pad).clbkBeforeStep(world->clock.t_s, dt_s, world->clock.mjd);
        pad_of(pad).clbkPostStep(world->clock.t_s, dt_s, world->clock.mjd);
        world->clock.t_s += dt_s;
    }

    double level(sim::Vessel* pad, THRUSTER_HANDLE th) const { return pad->thruster(th)->level; }

    static constexpr VECTOR3 night_pos{0, 0, 1000};
    static constexpr VECTOR3 day_pos{0, 0, -1000};
    // Where a pad at night_pos looks for its rocket.
    static constexpr VECTOR3 probe_point{0, 20, 1000};
};
