// b_tvm58: a launch-pad base. It finds the rocket standing on it, swings its umbilical arms away
// at lift-off, lights plumes for a few seconds and switches its lights by day and night.
#pragma once

#include "host/vessel.h"

class b_tvm58 final : public VESSEL2 {
  public:
    b_tvm58(OBJHANDLE hvessel, int flightmodel);
};
