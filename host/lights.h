// Light sources a vessel declares. The simulator owns them; a module keeps the pointer that
// AddSpotLight returns and switches the light with Activate.
#pragma once

#include "handles.h"
#include "host_api.h"
#include "math_types.h"

class HOST_API LightEmitter {
  public:
    LightEmitter(const VECTOR3& pos, const VECTOR3& dir, double range, double att0, double att1,
                 double att2, double umbra, double penumbra, const COLOUR4& diffuse,
                 const COLOUR4& specular, const COLOUR4& ambient);
    LightEmitter(const LightEmitter&) = delete;
    LightEmitter& operator=(const LightEmitter&) = delete;

    void Activate(bool act);
    bool IsActive() const { return active; }

    VECTOR3 pos, dir;         // vessel frame; dir is the beam's centre line
    double range;             // m
    double att0, att1, att2;  // attenuation: constant, linear (1/m), quadratic (1/m^2)
    double umbra, penumbra;   // full cone angles, rad
    COLOUR4 diffuse, specular, ambient;

  protected:
    bool active = true;
};
