// Landers built in-process from the lander's own code, and carrier-like parents: test vessels
// with one attachment point for a child.
#pragma once

#include <cstdio>
#include <string>

#include "lander/quor_tevlan.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace lander_setup {

inline VESSEL* make_lander(OBJHANDLE h, int flightmodel) {
    return new quor_tevlan(h, flightmodel);
}
inline void drop_lander(VESSEL* v) {
    delete static_cast<quor_tevlan*>(v);
}

// A handle as the call trace writes it.
inline std::string ptr_text(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

}  // namespace lander_setup

class LanderSetupTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        world->register_builtin_module("quor_tevlan", lander_setup::make_lander,
                                       lander_setup::drop_lander);
        register_test_vessel(*world);
    }

    quor_tevlan* lander_of(sim::Vessel* v) { return static_cast<quor_tevlan*>(v->iface); }
    quor_tevlan* new_lander(const std::string& name) {
        return lander_of(create(name, "quor_tevlan"));
    }
    // A parent with one point for children, as a carrier has.
    sim::Vessel* new_carrier(const std::string& name) {
        set_next_test_vessel_setup([](test_vessel& c) {
            c.SetEmptyMass(2000.0);
            c.CreateAttachment(false, _V(0, -1.5, 0), _V(0, -1, 0), _V(1, 0, 0), "land");
        });
        sim::Vessel* v = create(name, "test_vessel");
        set_next_test_vessel_setup(nullptr);
        return v;
    }
};
