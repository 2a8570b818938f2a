// Beacons and spot lights: the stand-in keeps what the module declared and reports their
// switching as events of the run.
#include "sim/vessel.h"
#include "sim/world.h"
#include "vessel_access.h"

LightEmitter::LightEmitter(const VECTOR3& pos, const VECTOR3& dir, double range, double att0,
                           double att1, double att2, double umbra, double penumbra,
                           const COLOUR4& diffuse, const COLOUR4& specular, const COLOUR4& ambient)
    : pos(pos),
      dir(dir),
      range(range),
      att0(att0),
      att1(att1),
      att2(att2),
      umbra(umbra),
      penumbra(penumbra),
      diffuse(diffuse),
      specular(specular),
      ambient(ambient) {}

void LightEmitter::Activate(bool act) {
    sim::trace_free("Activate", static_cast<const void*>(this), act);
    active = act;
}

void VESSEL::AddBeacon(BEACONLIGHTSPEC* bs) {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddBeacon", static_cast<const void*>(bs));
    if (bs)
        v.beacons.push_back({bs, bs->active});
}

LightEmitter* VESSEL::AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range,
                                   double att0, double att1, double att2, double umbra,
                                   double penumbra, COLOUR4 diffuse, COLOUR4 specular,
                                   COLOUR4 ambient) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddSpotLight", pos, dir, range, att0, att1, att2, umbra, penumbra);
    auto light = std::make_unique<LightEmitter>(pos, dir, range, att0, att1, att2, umbra, penumbra,
                                                diffuse, specular, ambient);
    v.spot_lights.push_back({std::move(light), true});
    return v.spot_lights.back().light.get();
}
