// The lander object: construction, defaults of its state record, and the animations of its four
// mechanisms (landing gear, meteorology mast, high-gain antenna, sampling arm).
#include <cstring>
#include <numbers>

#include "quor_tevlan.h"

namespace {

// Mesh-group lists of the components, shared by every lander and never written.
constexpr UINT leg1_strut[] = {20};
constexpr UINT leg1_arms[] = {11, 13};
constexpr UINT leg1_foot[] = {0, 12};
constexpr UINT leg2_strut[] = {21};
constexpr UINT leg2_arms[] = {14, 16};
constexpr UINT leg2_foot[] = {15, 17};
constexpr UINT leg3_strut[] = {22};
constexpr UINT leg3_arms[] = {8, 10};
constexpr UINT leg3_foot[] = {9, 18};
constexpr UINT mast[] = {3};
constexpr UINT hga_boom[] = {19};
constexpr UINT hga_arm[] = {1};
constexpr UINT hga_dish[] = {6, 7};
constexpr UINT sampling_arm[] = {25, 26, 27, 28, 29, 30, 31};
constexpr UINT sampler_head[] = {26, 29};
constexpr UINT sampler_scoop[] = {26, 29, 28};

constexpr UINT lander_mesh = 0;

template <std::size_t N>
MGROUP_ROTATE* rotation(const UINT (&groups)[N], VECTOR3 ref, VECTOR3 axis, double angle_deg) {
    return new MGROUP_ROTATE(lander_mesh, groups, N, ref, axis,
                             static_cast<float>(angle_deg * rad_per_deg));
}

template <std::size_t N>
MGROUP_TRANSLATE* translation(const UINT (&groups)[N], VECTOR3 shift) {
    return new MGROUP_TRANSLATE(lander_mesh, groups, N, shift);
}

}  // namespace

quor_tevlan::quor_tevlan(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}

quor_tevlan::~quor_tevlan() {
    for (int i = 0; i < animation_component_count; ++i) delete anim_components[i];
}

void quor_tevlan::set_defaults() {
    for (auto& c : anim_components) c = nullptr;
    ant_state = 0.0;
    arm_state = 0.0;
    leg_state = 1.0;
    met_state = 0.0;
    ant_status = at_rest_closed;
    arm_status = at_rest_closed;
    leg_status = at_rest_open;
    met_status = at_rest_closed;
    camera_view = 0;
    autopilot_phase = autopilot_armed;
    target_dir = _V(0, 0, 1);
    last_step = 0.0;
    key_j_sent = 0;
    key_k_sent = 0;
    key_g_sent = 0;
    key_u_sent = 0;
    mother_pushed = 0;
    std::strcpy(mother_name, "NULL");
    mother_vessel = nullptr;
    mars_handle = nullptr;
}

void quor_tevlan::clbkClassSetup(FILEHANDLE) {
    set_defaults();
    define_animations();
    define_configuration();
}

void quor_tevlan::define_animations() {
    MGROUP_TRANSFORM** c = anim_components;

    // Landing gear: three legs, each a strut, a pair of arms and a foot that follows the arms.
    anim_leg = CreateAnimation(0.0);
    c[0] = rotation(leg1_strut, _V(0, -0.93, -0.39), _V(1, 0, 0), -59.5);
    AddAnimationComponent(anim_leg, 0, 1, c[0]);
    c[1] = rotation(leg1_arms, _V(0, -1.08, 0.65), _V(1, 0, 0), -22);
    parent_component = AddAnimationComponent(anim_leg, 0, 1, c[1]);
    c[2] = translation(leg1_foot, _V(0, 0.229968, 0.629907));
    AddAnimationComponent(anim_leg, 0, 1, c[2], parent_component);

    c[3] = rotation(leg2_strut, _V(-0.805, 0.465, -0.39), _V(0.503334, 0.864092, 0), 59.5);
    AddAnimationComponent(anim_leg, 0, 1, c[3]);
    c[4] = rotation(leg2_arms, _V(-0.946, 0.545, 0.65), _V(0.503125, 0.864214, 0), 22);
    parent_component = AddAnimationComponent(anim_leg, 0, 1, c[4]);
    c[5] = translation(leg2_foot, _V(0.200009, -0.120009, 0.629919));
    AddAnimationComponent(anim_leg, 0, 1, c[5], parent_component);

    c[6] = rotation(leg3_strut, _V(0.805, 0.465, -0.39), _V(-0.503125, 0.864214, 0), -59.5);
    AddAnimationComponent(anim_leg, 0, 1, c[6]);
    c[7] = rotation(leg3_arms, _V(0.946, 0.545, 0.65), _V(-0.503125, 0.864214, 0), -22);
    parent_component = AddAnimationComponent(anim_leg, 0, 1, c[7]);
    c[8] = translation(leg3_foot, _V(-0.200009, -0.120009, 0.629919));
    AddAnimationComponent(anim_leg, 0, 1, c[8], parent_component);

    // Meteorology mast.
    anim_met = CreateAnimation(0.0);
    c[9] = rotation(mast, _V(1.049, 0.746, 0.456), _V(0, 1, 0), 90);
    AddAnimationComponent(anim_met, 0, 1, c[9]);

    // High-gain antenna: boom, arm and dish unfold together; then the dish tilts alone.
    anim_ant = CreateAnimation(0.0);
    c[10] = rotation(hga_boom, _V(0.557, -0.68, 0.273), _V(0, 1, 0), -76);
    parent_component = AddAnimationComponent(anim_ant, 0, 0.8, c[10]);
    c[11] = rotation(hga_arm, _V(0.85, -0.653, 0.346), _V(0, 1, 0), 165);
    parent_component_2 = AddAnimationComponent(anim_ant, 0, 0.8, c[11], parent_component);
    c[12] = rotation(hga_dish, _V(0.238, -0.628, 0.346), _V(0, 1, 0), -90);
    AddAnimationComponent(anim_ant, 0, 0.8, c[12], parent_component_2);
    c[13] = rotation(hga_dish, _V(0.557, -0.68, 1.191), _V(0, 1, 0), -45);
    AddAnimationComponent(anim_ant, 0.8, 1, c[13]);

    // Sampling arm: three turns about one shoulder point, then two extensions of the head.
    anim_arm = CreateAnimation(0.0);
    const VECTOR3 shoulder = _V(-0.263, 0.939, 0.34);
    c[14] = rotation(sampling_arm, shoulder, _V(0.957024, 0.290007, 0), -35);
    AddAnimationComponent(anim_arm, 0, 0.1, c[14]);
    c[15] = rotation(sampling_arm, shoulder, _V(0, 0, 1), 166);
    AddAnimationComponent(anim_arm, 0.1, 0.5, c[15]);
    c[16] = rotation(sampling_arm, shoulder, _V(1, 0, 0), -100);
    AddAnimationComponent(anim_arm, 0.5, 0.7, c[16]);
    c[17] = translation(sampler_head, _V(0, 0.14, -0.28));
    AddAnimationComponent(anim_arm, 0.7, 0.85, c[17]);
    c[18] = translation(sampler_scoop, _V(0, 0.188, -0.38));
    AddAnimationComponent(anim_arm, 0.85, 1, c[18]);
}
