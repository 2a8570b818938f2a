// Must not compile: a module's vessel is deleted through its own class, never through the base,
// whose destructor is protected and not virtual (the callback table starts at slot 0).
#include "host/vessel.h"

void destroy(VESSEL* vessel) {
    delete vessel;
}
