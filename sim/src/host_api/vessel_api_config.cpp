// Shape, mass, meshes, camera and touchdown points: stored as declared.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "argument_checks.h"
#include "sim/vessel.h"
#include "vessel_access.h"

void VESSEL::SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetCW", cw_z_pos, cw_z_neg, cw_x, cw_y);
    for (double cw : {cw_z_pos, cw_z_neg, cw_x, cw_y})
        if (!sim::check_non_negative(v, "SetCW", "a coefficient", cw, "ignored"))
            return;
    v.config.cw[0] = cw_z_pos;
    v.config.cw[1] = cw_z_neg;
    v.config.cw[2] = cw_x;
    v.config.cw[3] = cw_y;
}

void VESSEL::SetRotDrag(const VECTOR3& rd) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetRotDrag", rd);
    if (!sim::check_vector(v, "SetRotDrag", "rd", rd, true))
        return;
    v.config.rot_drag = rd;
}

void VESSEL::SetPMI(const VECTOR3& pmi) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetPMI", pmi);
    if (!sim::check_vector(v, "SetPMI", "pmi", pmi, true))
        return;
    v.config.pmi_m2 = pmi;
}

void VESSEL::SetCrossSections(const VECTOR3& cs) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetCrossSections", cs);
    if (!sim::check_vector(v, "SetCrossSections", "cs", cs, true))
        return;
    v.config.cross_sections_m2 = cs;
}

void VESSEL::SetSize(double size) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetSize", size);
    if (!sim::check_positive(v, "SetSize", "size", size, "ignored"))
        return;
    v.config.size_m = size;
}

void VESSEL::SetEmptyMass(double mass) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetEmptyMass", mass);
    if (!sim::check_non_negative(v, "SetEmptyMass", "mass", mass, "ignored"))
        return;
    v.config.empty_mass_kg = mass;
}

double VESSEL::GetEmptyMass() const {
    return sim::stand_in_of(this).config.empty_mass_kg;
}

UINT VESSEL::AddMesh(const char* meshname, const VECTOR3* ofs) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddMesh", meshname, ofs ? *ofs : VECTOR3{0, 0, 0});
    v.meshes.push_back({meshname ? meshname : "", ofs ? *ofs : VECTOR3{0, 0, 0}, MESHVIS_EXTERNAL});
    return static_cast<UINT>(v.meshes.size() - 1);
}

void VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetMeshVisibilityMode", idx, static_cast<unsigned>(mode));
    if (idx < v.meshes.size())
        v.meshes[idx].visibility = mode;
    else
        sim::warn_argument(v, "SetMeshVisibilityMode",
                           [&] { return "no mesh " + std::to_string(idx) + "; ignored"; });
}

void VESSEL::SetCameraOffset(const VECTOR3& co) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetCameraOffset", co);
    v.camera.offset = co;
}

void VESSEL::SetCameraDefaultDirection(const VECTOR3& cd, double tilt) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetCameraDefaultDirection", cd, tilt);
    v.camera.direction = cd;
    v.camera.tilt_rad = tilt;
}

void VESSEL::SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, DWORD ntdvtx) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetTouchdownPoints", static_cast<const void*>(tdvtx),
                   static_cast<unsigned>(ntdvtx));
    if (!tdvtx)
        ntdvtx = 0;
    v.config.set_touchdown(tdvtx, ntdvtx);
}

void VESSEL::SetTouchdownPoints(const VECTOR3& pt1, const VECTOR3& pt2, const VECTOR3& pt3) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetTouchdownPoints", pt1, pt2, pt3);
    // Springs that sag about 3 mm under the vessel's empty weight at 1 g, near critically damped.
    const double mass_kg = std::max(v.config.empty_mass_kg, 1.0);
    const double stiffness = mass_kg * 1000.0;
    const double damping = 2.0 * std::sqrt(stiffness * mass_kg / 3.0);
    const TOUCHDOWNVTX points[] = {{pt1, stiffness, damping, 1.0, 1.0},
                                   {pt2, stiffness, damping, 1.0, 1.0},
                                   {pt3, stiffness, damping, 1.0, 1.0}};
    v.config.set_touchdown(points, std::size(points));
}
