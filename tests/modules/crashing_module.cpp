// A module whose code writes through a null pointer, chosen when it is built: half a second
// into its flight, after its engine has lit (CRASH_IN_POST_STEP), or as its library loads
// (CRASH_IN_LOAD); or that aborts half a second into its flight (ABORT_IN_POST_STEP). The program
// must name it, with what it printed before still on stdout.
#include <cstdint>
#include <cstdlib>

#include "host/module_frame.h"
#include "host/vessel.h"

namespace {

// Read at run time, so that the compiler cannot see the pointer is null.
volatile std::uintptr_t g_nowhere = 0;

[[maybe_unused]] void write_through_null() {
    *reinterpret_cast<volatile int*>(g_nowhere) = 1;
}

#ifdef CRASH_IN_LOAD
struct CrashOnLoad {
    CrashOnLoad() { write_through_null(); }
} g_crash_on_load;
#endif

class Crasher final : public VESSEL3 {
  public:
    Crasher(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}
    void clbkClassSetup(FILEHANDLE) override {
        SetEmptyMass(100.0);
        SetSize(1.0);
        PROPELLANT_HANDLE tank = CreatePropellantResource(50.0);
        THRUSTER_HANDLE engine = CreateThruster({0, 0, 0}, {0, 0, 1}, 500.0, tank, 3000.0);
        CreateThrusterGroup(&engine, 1, THGROUP_MAIN);
    }
    void clbkPostStep(double simt, double, double) override {
        SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
#if defined(CRASH_IN_POST_STEP)
        if (simt >= 0.5)
            write_through_null();
#elif defined(ABORT_IN_POST_STEP)
        if (simt >= 0.5)
            std::abort();
#else
        (void)simt;
#endif
    }
};

}  // namespace

namespace module {

VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new Crasher(hvessel, flightmodel);
}

void destroy_vessel(VESSEL* vessel) {
    delete static_cast<Crasher*>(vessel);
}

const char build_date[] = __DATE__;

}  // namespace module
