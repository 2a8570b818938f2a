// A library with three of the four module entry points: GetModuleVersion is missing.
#include "host/host_api.h"
#include "host/handles.h"

class VESSEL;

MODULE_EXPORT VESSEL* ovcInit(OBJHANDLE, int) { return nullptr; }
MODULE_EXPORT void ovcExit(VESSEL*) {}
MODULE_EXPORT const char* ModuleDate() { return "Jan 01 2020"; }
