#include "support/test_vessel.h"

namespace {
std::function<void(test_vessel&)> g_next_setup;

VESSEL* make(OBJHANDLE h, int fmodel) {
    return new test_vessel(h, fmodel);
}
void destroy(VESSEL* v) {
    delete static_cast<test_vessel*>(v);
}
}  // namespace

void test_vessel::clbkClassSetup(FILEHANDLE) {
    if (g_next_setup)
        g_next_setup(*this);
}

void test_vessel::clbkBeforeStep(double, double simdt, double) {
    if (before_step)
        before_step(*this, simdt);
}

int test_vessel::clbkKeyEvent(DWORD key, bool down, char* kstate) {
    return on_key ? on_key(*this, key, down, kstate) : 0;
}

void test_vessel::clbkSaveState(FILEHANDLE scn) {
    VESSEL3::clbkSaveState(scn);
    if (on_save)
        on_save(*this, scn);
}

void set_next_test_vessel_setup(std::function<void(test_vessel&)> setup) {
    g_next_setup = std::move(setup);
}

void register_test_vessel(sim::World& w) {
    w.register_builtin_module("test_vessel", &make, &destroy);
}
