// Landers created in-process, so that tests can call their operations and read their fields,
// and a carrier that records the keys it receives.
#pragma once

#include <vector>

#include "lander/quor_tevlan.h"
#include "sim/attachments.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "support/lander_access.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

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

    sim::Vessel* add_lander(const std::string& name = "QT") { return create(name, "quor_tevlan"); }

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

    // Free flight above the ground under the global +x axis, thrust axis up (x west, y north),
    // then turned by the Euler angles offset. vel: over the ground, in the local directions x up,
    // y north, z east.
    void place(sim::Vessel* v, double height_m, VECTOR3 vel = {0, 0, 0}, VECTOR3 offset = {}) {
        place_above_mars(*world, *v, height_m, vel);
        v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler(offset));
    }

    double level(sim::Vessel* v, THRUSTER_HANDLE th) const { return v->thruster(th)->level; }

    sim::Body* mars = nullptr;
    std::vector<DWORD> carrier_keys;
};
