// Landers built in-process from the lander's own code, and a carrier-like parent made in the
// test: a vessel class with one attachment point for a child.
#pragma once

#include <cstdio>
#include <string>

#include "lander/quor_tevlan.h"
#include "support/world_fixture.h"

namespace lander_setup {

inline VESSEL* make_lander(OBJHANDLE h, int flightmodel) {
    return new quor_tevlan(h, flightmodel);
}
inline void drop_lander(VESSEL* v) {
    delete static_cast<quor_tevlan*>(v);
}

// A bare parent with one point for children, as a carrier would have.
class test_carrier final : public VESSEL2 {
public:
    using VESSEL2::VESSEL2;
    void clbkClassSetup(FILEHANDLE) override {
        SetEmptyMass(2000.0);
        child_point = CreateAttachment(false, _V(0, -1.5, 0), _V(0, -1, 0), _V(1, 0, 0), "land");
    }
    ATTACHMENTHANDLE child_point = nullptr;
};

inline VESSEL* make_carrier(OBJHANDLE h, int flightmodel) {
    return new test_carrier(h, flightmodel);
}
inline void drop_carrier(VESSEL* v) {
    delete static_cast<test_carrier*>(v);
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
        world->register_builtin_module("test_carrier", lander_setup::make_carrier,
                                       lander_setup::drop_carrier);
    }

    quor_tevlan* lander_of(sim::Vessel* v) { return static_cast<quor_tevlan*>(v->iface); }
    quor_tevlan* new_lander(const std::string& name) {
        return lander_of(create(name, "quor_tevlan"));
    }
    lander_setup::test_carrier* carrier_of(sim::Vessel* v) {
        return static_cast<lander_setup::test_carrier*>(v->iface);
    }
};
