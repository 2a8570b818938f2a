#include "sim/vessel_parts.h"

namespace sim {

double ThrusterGroup::level() const {
    if (thrusters.empty())
        return 0.0;
    double sum = 0.0, weight = 0.0;
    for (const Thruster* t : thrusters) {
        sum += t->level * t->max_thrust_n;
        weight += t->max_thrust_n;
    }
    if (weight > 0.0)
        return sum / weight;
    // Zero-thrust groups (effects only): the plain mean.
    sum = 0.0;
    for (const Thruster* t : thrusters) sum += t->level;
    return sum / double(thrusters.size());
}

const char* group_name(THGROUP_TYPE t) {
    switch (t) {
        case THGROUP_MAIN:
            return "main";
        case THGROUP_RETRO:
            return "retro";
        case THGROUP_HOVER:
            return "hover";
        case THGROUP_ATT_PITCHUP:
            return "pitch up";
        case THGROUP_ATT_PITCHDOWN:
            return "pitch down";
        case THGROUP_ATT_YAWLEFT:
            return "yaw left";
        case THGROUP_ATT_YAWRIGHT:
            return "yaw right";
        case THGROUP_ATT_BANKLEFT:
            return "bank left";
        case THGROUP_ATT_BANKRIGHT:
            return "bank right";
        case THGROUP_ATT_RIGHT:
            return "right";
        case THGROUP_ATT_LEFT:
            return "left";
        case THGROUP_ATT_UP:
            return "up";
        case THGROUP_ATT_DOWN:
            return "down";
        case THGROUP_ATT_FORWARD:
            return "forward";
        case THGROUP_ATT_BACK:
            return "back";
        default:
            return "user";
    }
}

}  // namespace sim
