// The lander library's part of the module frame.
#include "host/module_frame.h"
#include "quor_tevlan.h"

VESSEL* module::create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new quor_tevlan(hvessel, flightmodel);
}

void module::destroy_vessel(VESSEL* vessel) {
    delete static_cast<quor_tevlan*>(vessel);
}

const char module::build_date[] = "Aug 11 2025";
