// A vessel sliding on its feet slows at the friction coefficient times gravity: Coulomb friction
// above the slip speed, not the stiffer viscous law meant for a foot that barely creeps.
#include <cmath>

#include "sim/frames.h"
#include "sim/rest.h"
#include "support/mars_world_fixture.h"
#include "support/placement.h"

namespace {

constexpr double kMu = 0.5;
constexpr double kSliderMass_kg = 300;
constexpr double kStiffness_n_m = 60000;

// Three feet in the plane z = -1 m, friction kMu along and across.
const TOUCHDOWNVTX kFeet[] = {{{0, 1, -1}, kStiffness_n_m, 2000, kMu, kMu},
                              {{-0.866, -0.5, -1}, kStiffness_n_m, 2000, kMu, kMu},
                              {{0.866, -0.5, -1}, kStiffness_n_m, 2000, kMu, kMu}};

using SlidingTest = MarsWorldTest;

}  // namespace

TEST_F(SlidingTest, AVesselSlidingOnItsFeetSlowsAtTheFrictionCoefficientTimesGravity) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    sim::Vessel* v = make([](test_vessel& t) {
        t.SetEmptyMass(kSliderMass_kg);
        t.SetPMI(_V(0.6, 0.6, 0.4));
        t.SetSize(1.5);
        t.SetTouchdownPoints(kFeet, 3);
    });
    const double r = mars->ground_radius_m();
    const double g = mars->gm_m3_s2 / (r * r);
    // Standing on its feet at their static sink, sliding at 2 m/s over the ground.
    const double sink_m = kSliderMass_kg * g / (3 * kStiffness_n_m);
    const double speed_m_s = 2.0;
    place_above_mars(*world, *v, 1.0 - sink_m, VECTOR3{0, 0.6, 0.8} * speed_m_s);
    v->state.omega = sim::turning_with_ground(*world, *v);

    auto sliding_m_s = [&] {
        const VECTOR3 vel = sim::ground_velocity(*world, *v);
        const VECTOR3 up = sim::unit(v->state.rpos);
        return sim::length(vel - up * sim::dot(vel, up));
    };
    // Once the pitch that friction under the centre of mass gives has mostly settled, the feet
    // carry the weight between them: the speed falls at mu g, within the 5% that the swaying
    // pitch still adds. (A viscous law at this speed would stop the vessel within a frame.)
    run(0.2);
    const double before_m_s = sliding_m_s();
    EXPECT_GT(before_m_s, 1.5);
    const double duration_s = 0.4;
    run(duration_s);
    EXPECT_NEAR(sliding_m_s(), before_m_s - kMu * g * duration_s, 0.05 * kMu * g * duration_s);
    EXPECT_FALSE(v->state.landed);
}
