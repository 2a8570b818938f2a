// What a module declares about its vessel, stored as declared so that tests and the program
// can read it back. The handles a module holds are the addresses of these records.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/animation.h"
#include "host/lights.h"
#include "host/records.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Vessel;

struct Propellant {
    double max_mass_kg = 0.0;
    double mass_kg = 0.0;
    double efficiency = 1.0;
    // What the thrust of the internal step being taken has still to burn from the tank: half
    // goes before the step's kicks, half after (none between steps).
    double burning_kg = 0.0;
    // Whether it was empty at the end of the last frame observed; unset before the first.
    int observed_dry = -1;
};

struct Thruster {
    VECTOR3 pos{};            // vessel frame, m
    VECTOR3 dir{};            // thrust direction, unit, vessel frame
    double max_thrust_n = 0;  // vacuum maximum thrust
    Propellant* tank = nullptr;
    double isp_m_s = 0.0;      // vacuum specific impulse
    double isp_ref_m_s = 0.0;  // at reference pressure (0: no pressure dependence)
    double p_ref_pa = 101400.0;
    double level = 0.0;        // 0..1
    bool effects_lit = false;  // its flares or streams observed lit at the end of the last frame
};

// A group type as a person names it: "main", "pitch up"...
const char* group_name(THGROUP_TYPE type);

// A thruster group counts as lit from this level up: below it an autopilot's trim flickers
// between tiny levels, which would make a "lit" and "cut" line a frame.
constexpr double kGroupLitLevel = 0.01;

struct ThrusterGroup {
    THGROUP_TYPE type = THGROUP_MAIN;
    std::vector<Thruster*> thrusters;
    bool lit = false;  // observed lit at the end of the last frame

    // The group's level: the mean of its thrusters' levels, weighted by their maximum thrust.
    double level() const;
};

struct Exhaust {
    Thruster* thruster = nullptr;
    double length_scale = 0.0;
    double width_scale = 0.0;
    SURFHANDLE texture = nullptr;
    bool has_pos = false;  // a flare of its own place; else at the thruster, along its thrust
    VECTOR3 pos{}, dir{};  // vessel frame, when has_pos
};

// A beacon as the module registered it: the record stays the module's, read in place.
struct Beacon {
    BEACONLIGHTSPEC* light = nullptr;  // the module's record
    bool observed_active = false;      // active flag at the end of the last frame
};

struct SpotLight {
    std::unique_ptr<LightEmitter> light;
    bool observed_active = false;  // at the end of the last frame
};

struct ParticleStream {
    Thruster* thruster = nullptr;
    bool has_pos = false;
    VECTOR3 pos{};                // vessel frame, when has_pos
    PARTICLESTREAMSPEC stream{};  // the record as the module gave it
};

struct Mesh {
    std::string name;
    VECTOR3 offset{};
    WORD visibility = MESHVIS_EXTERNAL;
};

struct AnimationComponent {
    double state0 = 0.0, state1 = 1.0;      // range of the animation state it acts over
    MGROUP_TRANSFORM* transform = nullptr;  // owned by the module
    AnimationComponent* parent = nullptr;
};

struct Animation {
    double default_state = 0.0;
    double state = 0.0;
    std::vector<AnimationComponent*> components;
    double observed_state = 0.0;  // state at the end of the last frame
    bool observed = false;        // observed_state holds a frame's state
    bool moving = false;          // observed moving in the last frame
};

struct Attachment {
    Vessel* owner = nullptr;
    bool to_parent = false;  // a point by which the owner hangs on a parent
    VECTOR3 pos{}, dir{}, rot{};
    std::string id;
    bool loose = false;
    Vessel* attached = nullptr;  // the vessel at the other end, if any
    Attachment* peer = nullptr;  // its attachment point
};

struct Camera {
    VECTOR3 offset{0, 0, 0};
    VECTOR3 direction{0, 0, 1};
    double tilt_rad = 0.0;
};

// Shape and mass constants of a vessel.
struct VesselConfig {
    double cw[4] = {1, 1, 1, 1};  // drag coefficients: +z, -z, x, y
    VECTOR3 rot_drag{0, 0, 0};
    VECTOR3 pmi_m2{1, 1, 1};  // principal moments of inertia per unit mass
    VECTOR3 cross_sections_m2{1, 1, 1};
    double size_m = 1.0;
    double empty_mass_kg = 0.0;

    const std::vector<TOUCHDOWNVTX>& touchdown() const { return touchdown_; }
    // Replaces the touchdown points, in the storage the old ones held where it is large enough.
    void set_touchdown(const TOUCHDOWNVTX* points, std::size_t count) {
        touchdown_.assign(points, points + count);
        derived.size_m = std::numeric_limits<double>::quiet_NaN();
    }

    // Figures the contact model and the drag work out from the size and the touchdown points
    // (sim/src/dynamics), kept while both stay as they were: size_m is the size they were
    // worked out for, NaN when the touchdown points changed since.
    struct Derived {
        double size_m = std::numeric_limits<double>::quiet_NaN();
        double size4_m4 = 0.0;           // size_m to the fourth power, for rotational drag
        double fallback_radius_m = 0.0;  // of the contact model's fallback sphere
        double reach_m = 0.0;  // farthest a touchdown point or the sphere reaches from the origin
    };
    mutable Derived derived;

  private:
    std::vector<TOUCHDOWNVTX> touchdown_;
};

SIM_API_END
}  // namespace sim
