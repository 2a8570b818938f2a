// VESSEL construction and identity.
#include "sim/vessel.h"
#include "vessel_access.h"

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel) : version(0), hVessel(hVessel), flightmodel(fmodel) {}

VESSEL::~VESSEL() = default;

VESSEL2::VESSEL2(OBJHANDLE hVessel, int fmodel) : VESSEL(hVessel, fmodel) {
    version = 1;
}

VESSEL3::VESSEL3(OBJHANDLE hVessel, int fmodel) : VESSEL2(hVessel, fmodel) {
    version = 2;
}

OBJHANDLE VESSEL::GetHandle() const {
    return hVessel;
}

const char* VESSEL::GetName() const {
    return sim::stand_in_of(this).name().c_str();
}

const char* VESSEL::GetClassName() const {
    return sim::stand_in_of(this).class_name().c_str();
}
