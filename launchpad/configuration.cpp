// The pad's class set-up: a very heavy immobile body with one mesh and one tank, four thrusters
// without thrust that carry its effects (vent, side plume, pad plume, 40 light flares), four red
// beacons and three floodlights.
#include <numbers>

#include "b_tvm58.h"
#include "graphics_client.h"
#include "host/oapi.h"

namespace {

constexpr double deg = std::numbers::pi / 180.0;

// Body.
constexpr double empty_mass_kg = 1'000'000;
constexpr double drag_cw[4] = {1, 1, 1, 1};
constexpr double size_m = 365;
constexpr VECTOR3 cross_sections_m2{500, 500, 490000};
constexpr VECTOR3 pmi_m2{100, 100, 100};
// The ground plane is the pad's x-y plane, +z up.
constexpr VECTOR3 touchdown_points[3] = {
    {0, 365, -0.001}, {365, -365, -0.001}, {-365, -365, -0.001}};
constexpr VECTOR3 rot_drag{1, 1, 1};
constexpr const char* mesh_name = "B_TVM58/b_tvm58";
constexpr VECTOR3 camera_offset{0, 8, 12};

// The effect thrusters: no thrust, no group, all fed by the one tank.
constexpr double effect_isp_m_s = 50000;
constexpr double effect_p_ref_pa = 101400;
struct effect_thruster {
    VECTOR3 pos, dir;
};
constexpr effect_thruster vent_thruster{{0, 0, 0}, {1, 0, 0}};
constexpr effect_thruster side_plume_thruster{{-38.5, -9.7, 0}, {0.866, 0.1, -0.5}};
constexpr effect_thruster pad_plume_thruster{{0, 0, 4}, {0, 0, -1}};
constexpr effect_thruster lights_thruster{{0, 0, 0}, {0, 0, 1}};
// The vent streams leave the umbilical arms.
constexpr VECTOR3 vent_positions[] = {{1.09, 0.44, 51.06}, {1.029, 0.47, 39.82}};

// Particle streams. Level mapping: square root of the thruster level; atmosphere mapping:
// logarithmic in the air's density.
constexpr PARTICLESTREAMSPEC stream(double size, double rate, double v0, double spread,
                                    double lifetime, double growth, double slowdown,
                                    PARTICLESTREAMSPEC::LTYPE lighting, double lmax, double amin) {
    return {0,
            size,
            rate,
            v0,
            spread,
            lifetime,
            growth,
            slowdown,
            lighting,
            PARTICLESTREAMSPEC::LVL_PSQRT,
            0,
            lmax,
            PARTICLESTREAMSPEC::ATM_PLOG,
            amin,
            1,
            nullptr};
}
constexpr PARTICLESTREAMSPEC vent_plain =
    stream(0.2, 8, 0.25, 5, 2, 0.5, 0.5, PARTICLESTREAMSPEC::EMISSIVE, 1, 0.0003);
// With a graphics client the vent is denser.
constexpr PARTICLESTREAMSPEC vent_dense =
    stream(0.2, 12, 0.25, 3, 2, 1, 0.5, PARTICLESTREAMSPEC::EMISSIVE, 1, 0.0003);
constexpr PARTICLESTREAMSPEC side_flame =
    stream(40, 10, 250, 1.3, 1.5, 16, 3, PARTICLESTREAMSPEC::EMISSIVE, 1, 0.0001);
constexpr PARTICLESTREAMSPEC side_smoke =
    stream(30, 6, 250, 0.8, 0.8, 20, 3, PARTICLESTREAMSPEC::DIFFUSE, 4, 0.0001);
constexpr PARTICLESTREAMSPEC pad_plume =
    stream(10, 30, 100, 0.75, 0.5, 6, 3, PARTICLESTREAMSPEC::EMISSIVE, 1, 0.0001);
constexpr const char* smoke_texture = "Contrail4";

// Light flares: 24 pointing down at the field lamps, 16 tilted 15 degrees at the towers.
struct flare {
    VECTOR3 pos, dir;
};
constexpr VECTOR3 down{0, 0, -1};
constexpr VECTOR3 tilt_plus_x{0.2588, 0, -0.9659};
constexpr VECTOR3 tilt_minus_x{-0.2588, 0, -0.9659};
constexpr flare field_flares[] = {
    {{-11.95, -238.49, 8.75}, down}, {{-32.74, -207.03, 8.75}, down},
    {{-92.44, -164.18, 8.75}, down}, {{-148.16, -127.87, 8.75}, down},
    {{-192.13, -96.85, 8.75}, down}, {{-207.51, -72.6, 8.75}, down},
    {{-207.44, -8.7, 8.75}, down},   {{-207.34, 49.91, 8.75}, down},
    {{-199.82, 79.09, 8.75}, down},  {{-171.88, 145.18, 8.75}, down},
    {{-142.1, 221.49, 8.75}, down},  {{-123.33, 265.49, 8.75}, down},
    {{-106.48, 307.33, 8.75}, down}, {{-46.1, 273.74, 8.75}, down},
    {{11.29, 242.15, 8.75}, down},   {{68.21, 211.64, 8.75}, down},
    {{116.31, 174.12, 8.75}, down},  {{158.46, 121.33, 8.75}, down},
    {{196.46, 65.7, 8.75}, down},    {{211.29, -8.83, 8.75}, down},
    {{180.28, -66.24, 8.75}, down},  {{145.64, -116.06, 8.75}, down},
    {{108.73, -169.34, 8.75}, down}, {{67.15, -230.39, 8.75}, down},
};
constexpr flare tower_flares[] = {
    {{-42.51, 126.704, 17.95}, tilt_plus_x}, {{-43, 128.99, 17.95}, tilt_plus_x},
    {{-1.35, 128.72, 17.95}, tilt_minus_x},  {{-1.75, 130.6, 17.95}, tilt_minus_x},
    {{-33.97, 81.29, 17.95}, tilt_plus_x},   {{-33.52, 79.03, 17.95}, tilt_plus_x},
    {{5.55, 81.62, 17.95}, tilt_minus_x},    {{6.053, 79.63, 17.95}, tilt_minus_x},
    {{97.98, 30.58, 14.49}, tilt_minus_x},   {{99.93, 29.22, 14.49}, tilt_minus_x},
    {{127.89, -6.77, 14.49}, tilt_minus_x},  {{126.93, -8.78, 14.49}, tilt_minus_x},
    {{-127.01, 24.85, 14.49}, tilt_plus_x},  {{-126.24, 22.64, 14.49}, tilt_plus_x},
    {{-106.6, -49.36, 14.49}, tilt_plus_x},  {{-105.84, -51.77, 14.49}, tilt_plus_x},
};
struct flare_look {
    double length_scale, width_scale;
    const char* texture;
};
constexpr flare_look field_flare_look{20, 2.5, "B_TVM58/light3"};
constexpr flare_look tower_flare_look{30, 4, "B_TVM58/light2"};

// Beacons: red, on the four towers. The records point at these, shared by every pad.
VECTOR3 beacon_positions[beacon_count] = {
    {50.39, -57.94, 106.5}, {-26.58, -70.51, 106.5}, {-45.71, 44.33, 106.5}, {30.37, 57.85, 106.5}};
VECTOR3 beacon_colour{1, 0, 0};
constexpr double beacon_size = 0.5;
constexpr double beacon_falloff = 0.5;
constexpr double beacon_period_s = 4;
constexpr double beacon_duration_s = 0.1;

// Floodlights: horizontal, pointing at the pad's vertical axis.
struct floodlight {
    VECTOR3 pos, dir;
};
constexpr floodlight floodlights[spotlight_count] = {
    {{20, -34, 40}, {-0.5, 0.866, 0}},
    {{0, 40, 40}, {0, -1, 0}},
    {{-34, -20, 30}, {0.866, 0.5, 0}},
};
constexpr double flood_range_m = 200;
constexpr double flood_attenuation[3] = {1, 0, 0.00005};
constexpr double flood_umbra_rad = 45 * deg;
constexpr double flood_penumbra_rad = 90 * deg;
constexpr COLOUR4 flood_colour{1, 1, 0.9f, 0};
constexpr COLOUR4 flood_ambient{0, 0, 0, 0};

}  // namespace

void b_tvm58::set_defaults() {
    umb_state = 0.0;
    lights_off = 0;
    vent_held = 0;
    umb_status = umb_at_rocket;
}

void b_tvm58::clbkClassSetup(FILEHANDLE) {
    set_defaults();
    define_umbilical_animation();
    probe_graphics_client();  // its answer is asked again below, once the body is set
    define_configuration();
}

void b_tvm58::define_configuration() {
    SetEmptyMass(empty_mass_kg);
    SetCW(drag_cw[0], drag_cw[1], drag_cw[2], drag_cw[3]);
    SetSize(size_m);
    SetCrossSections(cross_sections_m2);
    SetPMI(pmi_m2);
    SetTouchdownPoints(touchdown_points[0], touchdown_points[1], touchdown_points[2]);
    SetRotDrag(rot_drag);
    AddMesh(mesh_name);
    SetMeshVisibilityMode(0, MESHVIS_ALWAYS);
    SetCameraOffset(camera_offset);
    ph_tank = CreatePropellantResource(tank_kg, tank_kg, 1.0);

    PARTICLESTREAMSPEC smoke = side_smoke;
    smoke.tex = oapiRegisterParticleTexture(smoke_texture);
    PARTICLESTREAMSPEC vent = graphics_client_ready() ? vent_dense : vent_plain;
    PARTICLESTREAMSPEC flame = side_flame, plume = pad_plume;

    auto effect = [&](const effect_thruster& t) {
        return CreateThruster(t.pos, t.dir, 0, ph_tank, effect_isp_m_s, 0, effect_p_ref_pa);
    };
    th_vent = effect(vent_thruster);
    for (const VECTOR3& p : vent_positions) AddExhaustStream(th_vent, p, &vent);
    th_side_plume = effect(side_plume_thruster);
    AddExhaustStream(th_side_plume, &flame);
    AddExhaustStream(th_side_plume, &smoke);
    th_pad_plume = effect(pad_plume_thruster);
    AddExhaustStream(th_pad_plume, &plume);
    th_lights = effect(lights_thruster);

    SURFHANDLE field_tex = oapiRegisterExhaustTexture(field_flare_look.texture);
    SURFHANDLE tower_tex = oapiRegisterExhaustTexture(tower_flare_look.texture);
    for (const flare& f : field_flares)
        AddExhaust(th_lights, field_flare_look.length_scale, field_flare_look.width_scale, f.pos,
                   f.dir, field_tex);
    for (const flare& f : tower_flares)
        AddExhaust(th_lights, tower_flare_look.length_scale, tower_flare_look.width_scale, f.pos,
                   f.dir, tower_tex);

    for (int i = 0; i < beacon_count; ++i) {
        beacon[i] = {0,
                     &beacon_positions[i],
                     &beacon_colour,
                     beacon_size,
                     beacon_falloff,
                     beacon_period_s,
                     beacon_duration_s,
                     0,
                     true};
        AddBeacon(&beacon[i]);
    }

    for (int i = 0; i < spotlight_count; ++i) {
        spotlight[i] = AddSpotLight(floodlights[i].pos, floodlights[i].dir, flood_range_m,
                                    flood_attenuation[0], flood_attenuation[1],
                                    flood_attenuation[2], flood_umbra_rad, flood_penumbra_rad,
                                    flood_colour, flood_colour, flood_ambient);
        spotlight[i]->Activate(false);
    }
}
