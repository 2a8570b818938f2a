// A library with three of the four module entry points: GetModuleVersion is missing.
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
