#include "sim/rest.h"

#include "sim/world.h"

namespace sim {

namespace {

const Vessel& root_of(const Vessel& v) {
    const Vessel* r = &v;
    while (r->parent()) r = r->parent();
    return *r;
}

}  // namespace

VECTOR3 turning_with_ground(const World& w, const Vessel& v) {
    return v.state.ref ? tmul(v.state.rot, v.state.ref->angular_velocity(w.clock.mjd))
                       : VECTOR3{0, 0, 0};
}

bool still_with_ground(const World& w, const Vessel& v) {
    if (v.state.landed)
        return true;
    if (!v.state.ref)
        return false;
    VECTOR3 over_ground = v.state.rvel - v.state.ref->surface_velocity(v.state.rpos, w.clock.mjd);
    VECTOR3 turning = v.state.omega - turning_with_ground(w, v);
    return length(over_ground) < kRestSpeed_m_s && length(turning) < kRestRate_rad_s;
}

bool resting(const World& w, const Vessel& v) {
    const Vessel& r = root_of(v);
    return (r.state.landed || r.state.ground_contact) && still_with_ground(w, r);
}

void RestWatch::update(const World& w, double dt_s) {
    const auto& vessels = w.vessels();
    rested_s_.resize(vessels.size(), {nullptr, 0.0});
    for (std::size_t i = 0; i < vessels.size(); ++i) {
        auto& [id, seconds] = rested_s_[i];
        if (id != vessels[i].get()) {
            id = vessels[i].get();
            seconds = 0.0;
        }
        seconds = resting(w, *vessels[i]) ? seconds + dt_s : 0.0;
    }
}

bool RestWatch::all_rested(const World& w, double seconds) const {
    const auto& vessels = w.vessels();
    if (rested_s_.size() != vessels.size())
        return false;
    for (std::size_t i = 0; i < vessels.size(); ++i)
        // Frame lengths add up with rounding errors.
        if (rested_s_[i].first != vessels[i].get() || rested_s_[i].second < seconds - 1e-9)
            return false;
    return true;
}

}  // namespace sim
