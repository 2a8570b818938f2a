// A library with the module entry points written by hand instead of the module frame. Without
// REPORTED_VERSION it lacks GetModuleVersion; with it, GetModuleVersion gives the number in the
// environment variable VESSELSIM_TEST_MODULE_VERSION (0 without it), as a library built against
// other headers might.
#include <cstdlib>

#include "host/handles.h"
#include "host/host_api.h"

class VESSEL;

MODULE_EXPORT VESSEL* ovcInit(OBJHANDLE, int) {
    return nullptr;
}
MODULE_EXPORT void ovcExit(VESSEL*) {}
MODULE_EXPORT const char* ModuleDate() {
    return "Jan 01 2020";
}
#ifdef REPORTED_VERSION
MODULE_EXPORT int GetModuleVersion() {
    const char* v = std::getenv("VESSELSIM_TEST_MODULE_VERSION");
    return v ? std::atoi(v) : 0;
}
#endif
