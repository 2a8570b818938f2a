// A rocket's flight against what it must do: it rises from its pad upright over the turning
// ground, which the air turns with; a steady burn gives the speed and the distance of the rocket
// equation, to second order in the step.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "sim/body.h"
#include "sim/physics.h"
#include "sim/scenario.h"
#include "support/angles.h"
#include "support/mars_world_fixture.h"
#include "support/placement.h"

namespace {

// The rocket of the fixtures: its mass, thrust and exhaust speed.
constexpr double kEmptyMass_kg = 30000, kPropellant_kg = 70000;
constexpr double kThrust_n = 1.3e6, kExhaust_m_s = 3000;

using RocketFlight = MarsWorldTest;

// The rocket's engine alight from the start, pushing along +z through the origin.
void rocket_alight(test_vessel& t) {
    t.SetEmptyMass(kEmptyMass_kg);
    t.SetPMI(_V(60, 60, 4));
    PROPELLANT_HANDLE tank = t.CreatePropellantResource(kPropellant_kg);
    THRUSTER_HANDLE th = t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), kThrust_n, tank, kExhaust_m_s);
    t.SetThrusterLevel(th, 1.0);
}

struct BurnError {
    double speed_m_s, distance_m;
};

}  // namespace

TEST_F(RocketFlight, ARocketRisingFromThePadStaysUprightOverTheTurningGround) {
    // The night launch's rocket without its pad: it lights at 5 s and leaves the ground at 8 s.
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, R"(BEGIN_ENVIRONMENT
  System Sol
  Date MJD 60650.75
END_ENVIRONMENT
BEGIN_SHIPS
Rocket:rocket
  STATUS Landed Earth
  POS 63.342 45.9201799
  HEADING 0
  LAUNCH_AT 5
END
END_SHIPS
)",
                                        "launch.scn", error))
        << error;
    const sim::Vessel& rocket = *world->vessel("Rocket");
    run(60.0);
    ASSERT_GT(sim::height_above_ground(*world, rocket), 5000.0);
    // The rocket's axis against the local vertical: its rotational drag must not hold it still
    // while the ground and the air turn under it (0.12 degrees at 60 s when it did).
    const VECTOR3 axis = sim::mul(rocket.state.rot, VECTOR3{0, 0, 1});
    const double tilt = std::acos(sim::dot(axis, sim::unit(rocket.state.rpos)));
    EXPECT_LT(tilt / kDeg, 0.005);
}

TEST_F(RocketFlight, ASteadyBurnFollowsTheRocketEquationToSecondOrderInTheStep) {
    // No gravity, no air: the rocket's own figures alone, against the rocket equation,
    //   v(t) = c ln(m0 / m(t)),  x(t) = c t - c (m(t) / mdot) ln(m0 / m(t)),  m(t) = m0 - mdot t.
    mars->gm_m3_s2 = 0.0;
    mars->atmosphere.density0_kg_m3 = 0.0;
    const double seconds = 60.0, m0 = kEmptyMass_kg + kPropellant_kg;
    const double mdot = kThrust_n / kExhaust_m_s, m = m0 - mdot * seconds;
    const double speed = kExhaust_m_s * std::log(m0 / m);
    const double distance = kExhaust_m_s * seconds - kExhaust_m_s * m / mdot * std::log(m0 / m);
    auto burn = [&](double step_s) {
        sim::Vessel* v = make(rocket_alight);
        place_above_mars(*world, *v, 10e3);  // far above the ground: the free step
        const VECTOR3 start = v->state.rpos, start_vel = v->state.rvel;
        const VECTOR3 up = sim::mul(v->state.rot, VECTOR3{0, 0, 1});
        run(seconds, step_s);
        EXPECT_NEAR(v->mass_kg(), m, 1e-6 * m);
        BurnError e{sim::dot(v->state.rvel - start_vel, up) - speed,
                    sim::dot(v->state.rpos - start, up) - distance};
        world->destroy_vessel(v);
        return e;
    };
    // The internal step in free flight is the frame's up to 20 ms.
    const BurnError coarse = burn(0.02), fine = burn(0.01);
    // The kicks once moved the mass of the step's end: 0.034 m/s and 0.72 m over at 20 ms.
    EXPECT_LT(std::abs(coarse.speed_m_s), 1e-5);
    EXPECT_LT(std::abs(coarse.distance_m), 0.05);
    // Half the step, a quarter of the error.
    EXPECT_NEAR(coarse.speed_m_s / fine.speed_m_s, 4.0, 0.2);
    EXPECT_NEAR(coarse.distance_m / fine.distance_m, 4.0, 0.2);
}
