// A module built with the ordinary frame whose creation gives back no vessel.
#include "host/module_frame.h"

namespace module {

VESSEL* create_vessel(OBJHANDLE, int) {
    return nullptr;
}

void destroy_vessel(VESSEL*) {}

const char build_date[] = __DATE__;

}  // namespace module
