// The pad object and its one mechanism, the umbilical: three swing arms that turn away from the
// rocket at lift-off. Their rotation descriptions are shared by every pad of the library.
#include <numbers>

#include "b_tvm58.h"

namespace {

constexpr UINT pad_mesh = 0;
constexpr UINT arm_1_groups[] = {25};
constexpr UINT arm_2_groups[] = {26};
constexpr UINT arm_3_groups[] = {27};

// Each arm turns about an axis in the ground plane, 10 degrees from +y towards -x.
constexpr VECTOR3 arm_axis{-0.17365, 0.98481, 0};
constexpr float arm_angle_rad = static_cast<float>(-std::numbers::pi / 2);
// The arms complete their turn over the first quarter of the state; the rest of the travel
// times the plumes.
constexpr double arm_turn_end_state = 0.25;
constexpr double umbilical_rate_per_s = 0.25;  // full travel in 4 s

struct shared_arm_rotations {
    MGROUP_ROTATE arm[3] = {
        {pad_mesh, arm_1_groups, 1, {5.578, 1.382, 39.451}, arm_axis, arm_angle_rad},
        {pad_mesh, arm_2_groups, 1, {5.876, 1.406, 50.725}, arm_axis, arm_angle_rad},
        {pad_mesh, arm_3_groups, 1, {5.21, 1.313, 57.53}, arm_axis, arm_angle_rad},
    };
};

// Created on the first pad's set-up and kept, unchanged, until the library is unloaded: the
// simulator holds pointers to them for every pad.
shared_arm_rotations& arm_rotations() {
    static shared_arm_rotations rotations;
    return rotations;
}

}  // namespace

b_tvm58::b_tvm58(OBJHANDLE hvessel, int flightmodel) : VESSEL2(hvessel, flightmodel) {}

void b_tvm58::define_umbilical_animation() {
    anim_umb = CreateAnimation(0.0);
    for (MGROUP_ROTATE& arm : arm_rotations().arm)
        AddAnimationComponent(anim_umb, 0.0, arm_turn_end_state, &arm);
}

int reverted_umbilical_status(int status) {
    return status == umb_at_rocket || status == umb_to_rocket ? umb_swinging_away : umb_to_rocket;
}

void b_tvm58::revert_umbilical() {
    umb_status = reverted_umbilical_status(umb_status);
}

umbilical_motion advance_umbilical(int status, double state, double dt_s) {
    if (status < umb_to_rocket)
        return {status, state, false};
    const double d = umbilical_rate_per_s * dt_s;
    if (status == umb_to_rocket) {
        if (!(state > 0.0))
            return {umb_at_rocket, state, true};
        // An overshooting step ends on the stop; the status follows on the next frame.
        return {status, state - d < 0.0 ? 0.0 : state - d, true};
    }
    if (!(state < 1.0))
        return {umb_swung_away, state, true};
    return {status, state + d > 1.0 ? 1.0 : state + d, true};
}

void b_tvm58::clbkPostStep(double, double simdt, double) {
    umbilical_motion m = advance_umbilical(umb_status, umb_state, simdt);
    umb_status = m.status;
    umb_state = m.state;
    if (m.moved)
        SetAnimation(anim_umb, umb_state);
}
