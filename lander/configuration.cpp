// The lander's physical configuration: shape and mass, mesh, default camera, touchdown points,
// propellant, engines and small thrusters with their groups and flames, the attachment point by
// which a mother vessel carries it, and the touchdown-dust stream.
#include <algorithm>
#include <iterator>
#include <numbers>

#include "host/oapi.h"
#include "quor_tevlan.h"

// Three feet 0.85 m below the origin, then three hull points on the top side. The feet stay where
// they are whatever the landing-gear animation shows.
constexpr TOUCHDOWNVTX lander_touchdown_points[] = {
    // position (m), stiffness (N/m), damping (N s/m), friction, longitudinal friction
    {{-1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0}, {{1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0},
    {{0, -1.7, -0.85}, 60000, 2000, 3.0, 3.0},   {{-2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0},
    {{2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0}, {{0, -1.0, 0.85}, 13220, 10420, 3.0, 0.0},
};

namespace {

using thruster_field = THRUSTER_HANDLE quor_tevlan::*;

constexpr double empty_mass_kg = 576.0;
constexpr double propellant_kg = 85.0;
constexpr double reference_pressure_pa = 101400.0;  // with reference ISP 0: no pressure effect

struct thruster_spec {
    thruster_field field;
    VECTOR3 pos;  // m
    VECTOR3 dir;
    double max_thrust_n;
    double isp_m_s;
};

// Descent engines on a 0.95 m circle at 120 degrees, small thrusters in pairs at x = +-1.75 m.
constexpr thruster_spec lander_thrusters[] = {
    {&quor_tevlan::engine_1, {0, 0.95, -0.3}, {0, 0, 1}, 2667, 2128},
    {&quor_tevlan::engine_2, {-0.822, -0.475, -0.3}, {0, 0, 1}, 2667, 2128},
    {&quor_tevlan::engine_3, {0.822, -0.475, -0.3}, {0, 0, 1}, 2667, 2128},
    {&quor_tevlan::rcs_1, {1.75, 0.18, 0.055}, {0, -1, 0}, 32, 2128},
    {&quor_tevlan::rcs_2, {1.75, -0.18, 0.055}, {0, 1, 0}, 32, 2128},
    {&quor_tevlan::rcs_3, {-1.75, 0.18, 0.055}, {0, -1, 0}, 32, 2128},
    {&quor_tevlan::rcs_4, {-1.75, -0.18, 0.055}, {0, 1, 0}, 32, 2128},
};

// Zero thrust: its level only drives the dust stream.
constexpr thruster_spec dust_thruster_spec = {
    &quor_tevlan::dust_thruster, {0, 0, -5}, {0, 0, 1}, 0, 1000000};

struct thruster_group_spec {
    THGROUP_TYPE type;
    int count;
    thruster_field thrusters[3];
};

// Pitch and yaw by throttling the descent engines unevenly; bank and up/down translation by the
// small thrusters.
constexpr thruster_group_spec lander_thruster_groups[] = {
    {THGROUP_ATT_PITCHUP, 2, {&quor_tevlan::engine_2, &quor_tevlan::engine_3}},
    {THGROUP_ATT_PITCHDOWN, 1, {&quor_tevlan::engine_1}},
    {THGROUP_ATT_YAWRIGHT, 1, {&quor_tevlan::engine_2}},
    {THGROUP_ATT_YAWLEFT, 1, {&quor_tevlan::engine_3}},
    {THGROUP_ATT_BANKLEFT, 2, {&quor_tevlan::rcs_2, &quor_tevlan::rcs_3}},
    {THGROUP_ATT_BANKRIGHT, 2, {&quor_tevlan::rcs_1, &quor_tevlan::rcs_4}},
    {THGROUP_ATT_UP, 2, {&quor_tevlan::rcs_2, &quor_tevlan::rcs_4}},
    {THGROUP_ATT_DOWN, 2, {&quor_tevlan::rcs_1, &quor_tevlan::rcs_3}},
    {THGROUP_MAIN, 3, {&quor_tevlan::engine_1, &quor_tevlan::engine_2, &quor_tevlan::engine_3}},
};

static_assert(std::ranges::all_of(lander_thruster_groups, [](const thruster_group_spec& g) {
    return g.count >= 1 && g.count <= 3;  // fits group_list
}));

struct exhaust_spec {
    thruster_field thruster;
    double length_scale;
    double width_scale;
};

constexpr exhaust_spec lander_exhausts[] = {
    {&quor_tevlan::engine_1, 0.03, 0.2}, {&quor_tevlan::engine_2, 0.03, 0.2},
    {&quor_tevlan::engine_3, 0.03, 0.2}, {&quor_tevlan::rcs_1, 0.2, 0.05},
    {&quor_tevlan::rcs_2, 0.2, 0.05},    {&quor_tevlan::rcs_3, 0.2, 0.05},
    {&quor_tevlan::rcs_4, 0.2, 0.05},
};

// Dust raised by the engines near the ground; the texture is filled in once registered.
constexpr PARTICLESTREAMSPEC lander_dust_stream = {
    0,                             // flags
    0.5,                           // particle size at creation, m
    30,                            // particles per second
    50,                            // emission velocity, m/s
    0.8,                           // emission velocity randomisation
    0.3,                           // lifetime, s
    10,                            // growth, m/s
    64,                            // slow-down rate in atmosphere
    PARTICLESTREAMSPEC::DIFFUSE,   // lit by the sun
    PARTICLESTREAMSPEC::LVL_SQRT,  // opacity from the square root of the thruster level
    0,                             // level minimum
    1,                             // level maximum
    PARTICLESTREAMSPEC::ATM_PLOG,  // opacity logarithmic in atmospheric density
    7e-8,                          // atmosphere minimum
    1,                             // atmosphere maximum
    nullptr,                       // texture
};

constexpr VECTOR3 mother_attachment_pos = {0, 0, 0.615};  // m
constexpr VECTOR3 mother_attachment_dir = {0, 0, 1};
constexpr VECTOR3 mother_attachment_rot = {0.707107, 0.707107, 0};

THRUSTER_HANDLE create_thruster(const quor_tevlan& lander, const thruster_spec& t,
                                PROPELLANT_HANDLE tank) {
    return lander.CreateThruster(t.pos, t.dir, t.max_thrust_n, tank, t.isp_m_s, 0.0,
                                 reference_pressure_pa);
}

}  // namespace

void quor_tevlan::define_configuration() {
    SetCW(1.0, 1.0, 1.0, 1.0);
    SetRotDrag(_V(0.08, 0.05, 0.01));
    SetPMI(_V(0.46, 0.94, 1.05));         // m^2
    SetCrossSections(_V(2.0, 3.5, 4.7));  // m^2
    SetSize(2.0);                         // m
    SetEmptyMass(empty_mass_kg);
    SetMeshVisibilityMode(AddMesh("TevlanQuor/tevlanlander"), MESHVIS_ALWAYS);
    SetCameraOffset(_V(0, 0.8, 1.0));
    SetCameraDefaultDirection(_V(0, 1, 0), std::numbers::pi);
    SetTouchdownPoints(lander_touchdown_points, std::size(lander_touchdown_points));

    propellant = CreatePropellantResource(propellant_kg, propellant_kg, 1.0);
    for (const thruster_spec& t : lander_thrusters)
        this->*t.field = create_thruster(*this, t, propellant);
    for (const thruster_group_spec& g : lander_thruster_groups) {
        for (int i = 0; i < g.count; ++i) group_list[i] = this->*g.thrusters[i];
        CreateThrusterGroup(group_list, g.count, g.type);
    }

    SURFHANDLE flame = oapiRegisterExhaustTexture("exhaust2");
    for (const exhaust_spec& e : lander_exhausts)
        AddExhaust(this->*e.thruster, e.length_scale, e.width_scale, flame);

    mother_attachment = CreateAttachment(true, mother_attachment_pos, mother_attachment_dir,
                                         mother_attachment_rot, "land", false);

    dust_thruster = create_thruster(*this, dust_thruster_spec, propellant);
    PARTICLESTREAMSPEC dust = lander_dust_stream;
    dust.tex = oapiRegisterParticleTexture("QUORTevlan/lander_dust");
    AddExhaustStream(dust_thruster, &dust);
}
