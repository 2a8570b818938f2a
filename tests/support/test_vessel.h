// A vessel class that tests declare on the spot: its class set-up runs whatever the test gives.
#pragma once

#include <functional>

#include "host/vessel.h"
#include "sim/world.h"

class test_vessel final : public VESSEL3 {
  public:
    using VESSEL3::VESSEL3;
    void clbkClassSetup(FILEHANDLE) override;
    void clbkBeforeStep(double simt, double simdt, double mjd) override;
    int clbkKeyEvent(DWORD key, bool down, char* kstate) override;
    void clbkSaveState(FILEHANDLE scn) override;  // the standard lines, then on_save's

    std::function<void(test_vessel&, double simdt)> before_step;
    std::function<int(test_vessel&, DWORD key, bool down, char* kstate)> on_key;
    std::function<void(test_vessel&, FILEHANDLE scn)> on_save;
};

// The set-up the next test_vessel runs in its class set-up.
void set_next_test_vessel_setup(std::function<void(test_vessel&)> setup);

// Makes the class "test_vessel" available in the world.
void register_test_vessel(sim::World& w);

inline test_vessel& as_test_vessel(sim::Vessel* v) {
    return *static_cast<test_vessel*>(v->iface);
}
