// The module frame: the four exports through which the simulator creates and destroys a
// library's vessels, and the library's attach and detach handling. It is compiled into each
// module library, which supplies only the three definitions below.
#pragma once

#include "handles.h"
#include "host_api.h"

class VESSEL;

namespace module {

// Creates one instance of the library's vessel class for the simulator's vessel handle.
VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel);

// Destroys an instance that create_vessel returned.
void destroy_vessel(VESSEL* vessel);

// The library's build date in the compiler's form, "Mmm dd yyyy".
extern const char build_date[];

}  // namespace module

MODULE_EXPORT VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel);
MODULE_EXPORT void ovcExit(VESSEL* vessel);
MODULE_EXPORT const char* ModuleDate();
MODULE_EXPORT int GetModuleVersion();
