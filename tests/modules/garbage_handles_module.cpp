// A module that hands every host operation that takes a handle or an index one that names
// nothing, once, in its first step. The stand-in must warn about each and go on.
#include "host/module_frame.h"
#include "host/oapi.h"
#include "host/vessel.h"

namespace {

template <typename H>
H garbage() {
    return reinterpret_cast<H>(static_cast<unsigned long long>(0x4321));
}

class Careless final : public VESSEL3 {
  public:
    using VESSEL3::VESSEL3;
    void clbkClassSetup(FILEHANDLE) override {
        SetEmptyMass(100.0);
        SetSize(1.0);
        AddMesh("garbage/box");
        static const UINT groups[] = {999};
        static MGROUP_TRANSLATE far_mesh(5, groups, 1, _V(0, 0, 1));
        AddAnimationComponent(CreateAnimation(0.0), 0, 1, &far_mesh);
    }
    void clbkPostStep(double, double, double) override {
        if (done)
            return;
        done = true;
        const OBJHANDLE obj = garbage<OBJHANDLE>();
        const auto th = garbage<THRUSTER_HANDLE>();
        const auto ph = garbage<PROPELLANT_HANDLE>();
        const auto at = garbage<ATTACHMENTHANDLE>();
        VECTOR3 p;
        AttachChild(obj, at, at);
        DetachChild(at, 1.0);
        GetAttachmentStatus(at);
        GetRelativePos(obj, p);
        oapiSetFocusObject(obj);
        oapiGetVesselInterface(obj);
        oapiGetGlobalPos(obj, &p);
        ENGINESTATUS es;
        oapiGetEngineStatus(obj, &es);
        oapiCameraAttach(obj, 1);
        char name[16];
        oapiGetObjectName(obj, name, sizeof name);
        SetThrusterLevel(th, 1.0);
        GetThrusterLevel(th);
        THRUSTER_HANDLE list[] = {th};
        CreateThrusterGroup(list, 1, THGROUP_MAIN);
        AddExhaust(th, 1, 1);
        AddExhaustStream(th);
        GetPropellantMass(ph);
        SetPropellantMass(ph, 1.0);
        GetPropellantMaxMass(ph);
        SetAnimation(77, 0.5);
        static MGROUP_ROTATE turn(0, nullptr, 0, _V(0, 0, 0), _V(0, 0, 1), 1.0f);
        AddAnimationComponent(77, 0, 1, &turn);
        SetMeshVisibilityMode(42, MESHVIS_NEVER);
    }

  private:
    bool done = false;
};

}  // namespace

namespace module {

VESSEL* create_vessel(OBJHANDLE hvessel, int flightmodel) {
    return new Careless(hvessel, flightmodel);
}

void destroy_vessel(VESSEL* vessel) {
    delete static_cast<Careless*>(vessel);
}

const char build_date[] = __DATE__;

}  // namespace module
