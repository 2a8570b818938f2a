#include "support/payload.h"

#include <cmath>
#include <memory>

#include "host/keys.h"
#include "host/oapi.h"

namespace {

struct Descent {
    bool k_sent = false, g_sent = false, separated = false;
};

void fly_attached_descent(test_vessel& t, PayloadLog* log, Descent& d) {
    double h = t.GetAltitude(ALTMODE_GROUND);
    OBJHANDLE mother = t.GetAttachmentStatus(t.GetAttachmentHandle(true, 0));
    VESSEL* m = mother ? oapiGetVesselInterface(mother) : nullptr;
    if (!m)
        return;
    if (h < 1490.0) {
        VECTOR3 v;
        t.GetGroundspeedVector(FRAME_HORIZON, v);
        log->separation_height_m = h;
        log->separation_speed_m_s = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        m->SendBufferedKey(OAPI_KEY_J);
        m->SetEmptyMass(180.0);
        m->DetachChild(m->GetAttachmentHandle(false, 0), 0.0);
        t.SetThrusterGroupLevel(THGROUP_MAIN, 0.0);
        d.separated = true;
        return;
    }
    if (h < 1640.0)
        t.SetThrusterGroupLevel(THGROUP_MAIN, 0.2);
    if (h < 6000.0 && !d.k_sent)
        d.k_sent = m->SendBufferedKey(OAPI_KEY_K) >= 0;
    if (h < 5000.0 && !d.g_sent)
        d.g_sent = m->SendBufferedKey(OAPI_KEY_G) >= 0;
}

}  // namespace

void set_next_payload(PayloadLog* log) {
    set_next_test_vessel_setup([log](test_vessel& t) {
        t.SetEmptyMass(576.0);
        t.SetCW(1.0, 1.0, 1.0, 1.0);
        t.SetCrossSections(_V(2.0, 3.5, 4.7));
        t.SetPMI(_V(0.46, 0.94, 1.05));
        t.SetSize(2.0);
        PROPELLANT_HANDLE tank = t.CreatePropellantResource(85.0);
        THRUSTER_HANDLE engine =
            t.CreateThruster(_V(0, 0, -0.3), _V(0, 0, 1), 3 * 2667.0, tank, 2128.0);
        t.CreateThrusterGroup(&engine, 1, THGROUP_MAIN);
        t.CreateAttachment(true, _V(0, 0, 0.615), _V(0, 0, 1), _V(0.707107, 0.707107, 0), "land");
        auto descent = std::make_shared<Descent>();
        t.before_step = [log, descent](test_vessel& self, double) {
            if (!descent->separated)
                fly_attached_descent(self, log, *descent);
        };
    });
}
