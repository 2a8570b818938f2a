// Landers created in-process, so that tests can call their operations and read their fields,
// and a carrier that records the keys it receives.
#pragma once

#include <vector>

#include "lander/quor_tevlan.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

inline quor_tevlan& lander_of(sim::Vessel* v) {
    return *static_cast<quor_tevlan*>(v->iface);
}

// The lander's physical configuration, made here when the lander's own class set-up has not
// made it: mass and shape, feet, tank, the three descent engines with their main-engine group,
// the carrying point "land" and the dust thruster.
inline void configure_if_bare(sim::Vessel* v) {
    if (!v->thrusters.empty())
        return;
    quor_tevlan& l = lander_of(v);
    static const TOUCHDOWNVTX feet[] = {
        {{-1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0}, {{1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0},
        {{0, -1.7, -0.85}, 60000, 2000, 3.0, 3.0},   {{-2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0},
        {{2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0}, {{0, -1.0, 0.85}, 13220, 10420, 3.0, 0.0}};
    l.SetCW(1, 1, 1, 1);
    l.SetRotDrag(_V(0.08, 0.05, 0.01));
    l.SetPMI(_V(0.46, 0.94, 1.05));
    l.SetCrossSections(_V(2.0, 3.5, 4.7));
    l.SetSize(2.0);
    l.SetEmptyMass(576);
    l.SetTouchdownPoints(feet, 6);
    l.propellant = l.CreatePropellantResource(85, 85, 1.0);
    l.engine_1 = l.CreateThruster(_V(0, 0.95, -0.3), _V(0, 0, 1), 2667, l.propellant, 2128);
    l.engine_2 = l.CreateThruster(_V(-0.822, -0.475, -0.3), _V(0, 0, 1), 2667, l.propellant, 2128);
    l.engine_3 = l.CreateThruster(_V(0.822, -0.475, -0.3), _V(0, 0, 1), 2667, l.propellant, 2128);
    THRUSTER_HANDLE main[] = {l.engine_1, l.engine_2, l.engine_3};
    l.CreateThrusterGroup(main, 3, THGROUP_MAIN);
    l.mother_attachment =
        l.CreateAttachment(true, _V(0, 0, 0.615), _V(0, 0, 1), _V(0.707107, 0.707107, 0), "land");
    l.dust_thruster = l.CreateThruster(_V(0, 0, -5), _V(0, 0, 1), 0, l.propellant, 1e6);
}

class LanderTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        world->register_builtin_module(
            "quor_tevlan",
            [](OBJHANDLE h, int fmodel) -> VESSEL* { return new quor_tevlan(h, fmodel); },
            [](VESSEL* v) { delete static_cast<quor_tevlan*>(v); });
        register_test_vessel(*world);
        mars = world->body("Mars");
    }

    sim::Vessel* add_lander(const std::string& name = "QT") {
        sim::Vessel* v = create(name, "quor_tevlan");
        configure_if_bare(v);
        return v;
    }

    // A carrier with a point to hang on a parent (to-parent index 0) and a point that carries
    // the lander (child index 0). The keys it receives go to carrier_keys.
    sim::Vessel* add_carrier(const std::string& name = "Carrier") {
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(1500);
            t.SetSize(3.0);
            t.CreateAttachment(true, _V(0, 0, 2), _V(0, 0, 1), _V(0, 1, 0), "top");
            t.CreateAttachment(false, _V(0, 0, -3), _V(0, 0, -1), _V(0, 1, 0), "lander");
        });
        sim::Vessel* v = create(name, "test_vessel");
        as_test_vessel(v).on_key = [this](test_vessel&, DWORD key, bool, char*) {
            carrier_keys.push_back(key);
            return 1;
        };
        return v;
    }

    // Hangs the lander on the carrier's lander point.
    static bool hang(sim::Vessel* lander, sim::Vessel* carrier) {
        return carrier->iface->AttachChild(lander->handle(),
                                           carrier->iface->GetAttachmentHandle(false, 0),
                                           lander_of(lander).mother_attachment);
    }

    // Free flight above the ground at longitude 0, latitude 0, thrust axis up, turned by
    // tilt_rad about the vessel's own x axis. vel: over the ground, global orientation (x up,
    // y north, z east).
    void place(sim::Vessel* v, double height_m, VECTOR3 vel = {0, 0, 0}, double tilt_rad = 0.0) {
        place_above_mars(*world, *v, height_m, vel);
        v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler({tilt_rad, 0, 0}));
    }

    double level(sim::Vessel* v, THRUSTER_HANDLE th) const { return v->thruster(th)->level; }

    sim::Body* mars = nullptr;
    std::vector<DWORD> carrier_keys;
};
