// Animations: the stand-in keeps each animation's components and current state.
#include <cmath>
#include <string>

#include "argument_checks.h"
#include "sim/vessel.h"
#include "vessel_access.h"

UINT VESSEL::CreateAnimation(double initial_state) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreateAnimation", initial_state);
    auto anim = std::make_unique<sim::Animation>();
    anim->default_state = initial_state;
    anim->state = initial_state;
    v.animations.push_back(std::move(anim));
    return static_cast<UINT>(v.animations.size() - 1);
}

ANIMATIONCOMPONENT_HANDLE VESSEL::AddAnimationComponent(UINT anim, double state0, double state1,
                                                        MGROUP_TRANSFORM* trans,
                                                        ANIMATIONCOMPONENT_HANDLE parent) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AddAnimationComponent", anim, state0, state1, static_cast<const void*>(trans),
                   static_cast<const void*>(parent));
    sim::Animation* a = v.animation(anim);
    if (!a || !trans) {
        sim::warn_argument(v, "AddAnimationComponent", [&] {
            return (a ? std::string("a null transform") : "no animation " + std::to_string(anim)) +
                   "; ignored";
        });
        return nullptr;
    }
    auto comp = std::make_unique<sim::AnimationComponent>();
    comp->state0 = state0;
    comp->state1 = state1;
    comp->transform = trans;
    for (const auto& c : v.animation_components)
        if (c.get() == parent)
            comp->parent = c.get();
    a->components.push_back(comp.get());
    v.animation_components.push_back(std::move(comp));
    return v.animation_components.back().get();
}

bool VESSEL::SetAnimation(UINT anim, double state) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SetAnimation", anim, state);
    sim::Animation* a = v.animation(anim);
    if (!a) {
        sim::warn_argument(v, "SetAnimation",
                           [&] { return "no animation " + std::to_string(anim) + "; ignored"; });
        return false;
    }
    if (!std::isfinite(state)) {
        sim::warn_argument(v, "SetAnimation",
                           [] { return std::string("state is not a finite number; ignored"); });
        return false;
    }
    a->state = state;
    return true;
}
