// Landers built in-process from the lander's own code, and carrier-like parents: test vessels
// with one attachment point for a child.
#pragma once

#include <cstdio>
#include <string>

#include "support/lander_fixture.h"

namespace lander_setup {

// A handle as the call trace writes it.
inline std::string ptr_text(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

}  // namespace lander_setup

class LanderSetupTest : public LanderTest {
  protected:
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
