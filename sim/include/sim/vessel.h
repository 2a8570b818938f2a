// One vessel of the world: its module instance, everything the module declared, its motion and
// its call trace.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/vessel.h"
#include "sim/export.h"
#include "sim/flight_state.h"
#include "sim/object.h"
#include "sim/trace.h"
#include "sim/vessel_parts.h"

namespace sim {
SIM_API_BEGIN

struct ModuleLibrary;

class Vessel : public Object {
  public:
    Vessel(std::string name, std::string class_name, ModuleLibrary* module);
    ~Vessel() override;

    const std::string& class_name() const { return class_name_; }
    ModuleLibrary* module() const { return module_; }

    // The module's instance; null until created. VESSEL2 callbacks through callbacks().
    VESSEL* iface = nullptr;
    VESSEL2* callbacks() const;
    VESSEL3* callbacks3() const;

    VesselConfig config;
    std::vector<std::unique_ptr<Propellant>> propellants;
    std::vector<std::unique_ptr<Thruster>> thrusters;
    std::vector<std::unique_ptr<ThrusterGroup>> groups;
    std::vector<Exhaust> exhausts;
    std::vector<std::unique_ptr<ParticleStream>> streams;
    std::vector<Beacon> beacons;
    std::vector<SpotLight> spot_lights;
    std::vector<Mesh> meshes;
    std::vector<std::unique_ptr<Animation>> animations;
    std::vector<std::unique_ptr<AnimationComponent>> animation_components;
    std::vector<std::unique_ptr<Attachment>> attachments;
    Camera camera;
    bool after_creation_done = false;
    // The operations this vessel's module was warned about for a bad argument: once each.
    std::set<std::string, std::less<>> warned_operations;

    FlightState state;
    Trace trace;

    // Look-ups; null when not found.
    ThrusterGroup* group(THGROUP_TYPE type) const;
    Thruster* thruster(THRUSTER_HANDLE th) const;
    Propellant* propellant(PROPELLANT_HANDLE ph) const;
    Attachment* attachment(ATTACHMENTHANDLE ah) const;
    Attachment* attachment_point(bool to_parent, std::size_t index) const;
    Animation* animation(UINT anim) const;

    // The point this vessel hangs by, and the parent it hangs on; null when it hangs on none.
    Attachment* hanging_point() const;
    Vessel* parent() const;
    // Its own mass, empty mass and propellant, kg; and with everything hanging on it.
    double own_mass_kg() const;
    double mass_kg() const;
    double propellant_mass_kg() const;

  private:
    std::string class_name_;
    ModuleLibrary* module_;
};

// The most levels a chain of hanging vessels may take below its top vessel.
inline constexpr int kMaxHangingLevels = 1000;

// The next vessel after v in a walk over everything hanging on root, directly or through others,
// parents before their children; null at the end. The walk keeps no memory and does not recurse,
// so chains of any depth cost time in proportion to their length. When levels is given, the
// levels the walk went down (positive) or up are added to it.
Vessel* next_hanging(const Vessel& root, const Vessel& v, int* levels = nullptr);

template <typename F>
void for_each_hanging(const Vessel& root, F&& f) {
    for (Vessel* d = next_hanging(root, root); d; d = next_hanging(root, *d)) f(*d);
}

// How many levels hang below v (0 when nothing does), and how many parents it hangs under.
int levels_below(const Vessel& v);
int levels_above(const Vessel& v);

// The vessel record behind a handle the simulator issued; null for a body or null handle.
Vessel* as_vessel(OBJHANDLE h);

SIM_API_END
}  // namespace sim
