// The base library's part of the module frame.
#include "b_tvm58.h"
#include "host/module_frame.h"

VESSEL* module::create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new b_tvm58(hvessel, flightmodel);
}

void module::destroy_vessel(VESSEL* vessel) {
    delete static_cast<b_tvm58*>(vessel);
}

const char module::build_date[] = "Apr 24 2019";
