// Contact with the ground: a vessel on its back rests on its fallback sphere, a landed vessel
// turns with the ground and keeps that turning at lift-off, a hanging child's feet carry the
// pair, and the touchdown figures are the ones of the moment the first foot touches.
#include <cmath>

#include "sim/frames.h"
#include "sim/loads.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "support/mars_world_fixture.h"
#include "support/placement.h"

namespace {

// Three feet in the plane z = -1 m; the origin is 1 m above them.
const TOUCHDOWNVTX kTripod[] = {{{0, 1, -1}, 60000, 2000, 1.0, 1.0},
                                {{-0.866, -0.5, -1}, 60000, 2000, 1.0, 1.0},
                                {{0.866, -0.5, -1}, 60000, 2000, 1.0, 1.0}};

void tripod(test_vessel& t) {
    t.SetEmptyMass(300);
    t.SetPMI(_V(0.6, 0.6, 0.4));
    t.SetSize(1.5);
    t.SetTouchdownPoints(kTripod, 3);
}

class GroundContactTest : public MarsWorldTest {
  protected:
    double gravity_at_ground() const {
        double r = mars->ground_radius_m();
        return mars->gm_m3_s2 / (r * r);
    }
    // The ground's turning seen in the vessel's frame, rad/s.
    VECTOR3 ground_turning(const sim::Vessel& v) const {
        return sim::tmul(v.state.rot, mars->angular_velocity(world->clock.mjd));
    }
};

}  // namespace

TEST_F(GroundContactTest, VesselOnItsBackOrSideRestsOnItsFallbackSphereAboveTheGround) {
    // The sphere's radius: 0.8 of the 1 m from the origin to the feet's plane; its spring lets
    // it sink by g / (2 pi 2 Hz)^2.
    double radius = 0.8;
    double sink = gravity_at_ground() / std::pow(4.0 * M_PI, 2);
    struct Case {
        const char* name;
        VECTOR3 euler;  // attitude relative to upright
        double low, high;
    } cases[] = {
        {"on its back", {M_PI, 0, 0}, radius - sink - 0.005, radius - sink + 0.005},
        {"on its side", {1.9, 0.4, 0.7}, radius - sink - 0.005, 1.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Vessel* v = make(tripod);
        place_above_mars(*world, *v, 3.0);
        v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler(c.euler));
        run(30.0);
        EXPECT_GT(height(*v), c.low);
        EXPECT_LT(height(*v), c.high);
        EXPECT_TRUE(v->iface->GroundContact());
        EXPECT_TRUE(v->state.landed) << "it came to rest and is held";
        VECTOR3 axis = sim::mul(sim::vessel_to_horizon(*world, *v), VECTOR3{0, 0, 1});
        EXPECT_LT(axis.y, 0.5) << "it did not right itself";
        world->destroy_vessel(v);
    }
}

// The sphere's radius is kept between steps: it follows a new size or new touchdown points at
// once. On its back 0.7 m above the ground, the tripod's sphere (0.8 m) touches; one of 0.4 m
// does not.
TEST_F(GroundContactTest, FallbackSphereFollowsTheSizeAndTouchdownPointsAsTheyChange) {
    sim::Vessel* v = make(tripod);
    place_above_mars(*world, *v, 0.7);
    v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler({M_PI, 0, 0}));
    auto touches = [&] { return sim::compute_loads(*world, *v).contact; };
    ASSERT_TRUE(touches());
    v->iface->SetSize(0.5);  // 0.8 of the size, nearer than the feet's plane
    EXPECT_FALSE(touches());
    v->iface->SetSize(1.5);
    ASSERT_TRUE(touches());
    // The feet's plane 0.5 m from the origin.
    TOUCHDOWNVTX nearer[3];
    for (int i = 0; i < 3; ++i) {
        nearer[i] = kTripod[i];
        nearer[i].pos.z = -0.5;
    }
    v->iface->SetTouchdownPoints(nearer, 3);
    EXPECT_FALSE(touches());
    v->iface->SetTouchdownPoints(kTripod, 3);
    EXPECT_TRUE(touches());
}

TEST_F(GroundContactTest, LandedVesselTurnsWithTheGroundAndKeepsTurningAtLiftOff) {
    sim::Vessel* v = make([](test_vessel& t) {
        tripod(t);
        PROPELLANT_HANDLE tank = t.CreatePropellantResource(50);
        t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 3000, tank, 3000);
    });
    sim::place_landed(*world, *v, 0.7, 0.4, 1.1);
    run(1.0);
    ASSERT_TRUE(v->state.landed);
    VECTOR3 reported;
    v->iface->GetAngularVel(reported);
    VECTOR3 expected = ground_turning(*v);
    // Mars turns once in 88642.66 s.
    EXPECT_NEAR(sim::length(reported), 2.0 * M_PI / 88642.66, 1e-11);
    EXPECT_LT(sim::length(reported - expected), 1e-15);

    // 3000 N lift 350 kg against 1300 N of weight.
    v->iface->SetThrusterLevel(v->thrusters[0].get(), 1.0);
    run(1.0);
    ASSERT_FALSE(v->state.landed);
    EXPECT_GT(height(*v), 1.0);
    EXPECT_LT(sim::length(v->state.omega - ground_turning(*v)), 1e-9);
}

TEST_F(GroundContactTest, HangingChildsFeetCarryThePair) {
    sim::Vessel* parent = make([](test_vessel& t) {
        t.SetEmptyMass(200);
        t.SetSize(0.5);
        t.CreateAttachment(false, _V(0, 0, -1), _V(0, 0, -1), _V(0, 1, 0), "payload");
    });
    sim::Vessel* child = make([](test_vessel& t) {
        tripod(t);
        t.CreateAttachment(true, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "carrier");
    });
    place_above_mars(*world, *parent, 5.0);
    ASSERT_TRUE(parent->iface->AttachChild(child->handle(), parent->attachment_point(false, 0),
                                           child->attachment_point(true, 0)));
    run(10.0);
    double sink = 500.0 * gravity_at_ground() / (3 * 60000.0);
    EXPECT_NEAR(height(*child), 1.0 - sink, 0.003);
    EXPECT_NEAR(height(*parent), 3.0 - sink, 0.003);
    EXPECT_TRUE(parent->iface->GroundContact());
}

TEST_F(GroundContactTest, TouchdownReportsTheSpeedsAndTiltAsTheFirstFootTouches) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    sim::Vessel* v = make(tripod);
    const double tilt_deg = 12.0, drop_m = 1.0;
    place_above_mars(*world, *v, 0.0);
    // Tilted about a horizontal axis between the feet, the lowest foot drop_m above the ground.
    v->state.rot = sim::mul(v->state.rot, sim::rotation_from_euler({tilt_deg * M_PI / 180, 0, 0}));
    double lowest = 1e9;
    VECTOR3 up = sim::unit(v->state.rpos);
    for (const TOUCHDOWNVTX& td : kTripod)
        lowest = std::min(lowest, sim::dot(sim::mul(v->state.rot, td.pos), up));
    v->state.rpos = v->state.rpos + up * (drop_m - lowest);
    run(2.0);
    ASSERT_TRUE(v->state.ever_touched);
    const auto& td = v->state.touchdown;
    // Falling from rest relative to the turning ground, under gravity and the centrifugal pull
    // away from the spin axis (which also drifts it sideways off the equator), positive
    // downwards; the first foot is found at its crossing, within the step it crossed in.
    const VECTOR3 axis = mars->spin_axis(world->clock.mjd), p = v->state.rpos;
    const double rate = mars->angular_rate_rad_s();
    VECTOR3 pull = up * -gravity_at_ground() + (p - axis * sim::dot(p, axis)) * (rate * rate);
    double g = -sim::dot(pull, up), g_side = sim::length(pull + up * g);
    double crossing_s = std::sqrt(2.0 * drop_m / g);
    EXPECT_NEAR(td.time_s, crossing_s, 1e-4);
    EXPECT_NEAR(td.vertical_m_s, g * td.time_s, 1e-4);
    EXPECT_NEAR(td.horizontal_m_s, g_side * td.time_s, 5e-4);
    EXPECT_NEAR(td.tilt_deg, tilt_deg, 0.01);
}
