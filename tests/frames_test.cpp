// Frames of reference as modules see them through their vessel: the horizon frame, equatorial
// position, ground speed, and the attitude of a status record.
#include "sim/frames.h"

#include <cmath>
#include <numbers>

#include "host/oapi.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "support/angles.h"
#include "support/placement.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

void expect_near(const VECTOR3& a, const VECTOR3& b, double tol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

double det(const MATRIX3& m) {
    return m.m11 * (m.m22 * m.m33 - m.m23 * m.m32) - m.m12 * (m.m21 * m.m33 - m.m23 * m.m31) +
           m.m13 * (m.m21 * m.m32 - m.m22 * m.m31);
}

class FramesTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_test_vessel_setup([](test_vessel& t) {
            static const TOUCHDOWNVTX feet[] = {{{-1, 1, -1}, 1e5, 1e4, 1, 1},
                                                {{1, 1, -1}, 1e5, 1e4, 1, 1},
                                                {{0, -1, -1}, 1e5, 1e4, 1, 1}};
            t.SetEmptyMass(1000);
            t.SetTouchdownPoints(feet, 3);
        });
        v = create("V", "test_vessel");
    }
    sim::Vessel* v = nullptr;
};

}  // namespace

TEST_F(FramesTest, ALandedVesselStandsUpInItsHorizonFrame) {
    world->clock.advance(5000.0);  // Mars has turned since the scenario began
    sim::place_landed(*world, *v, 30 * kDeg, 20 * kDeg, 90 * kDeg);
    VECTOR3 up, fwd, hor_down;
    v->iface->HorizonRot(_V(0, 0, 1), up);
    v->iface->HorizonRot(_V(0, 1, 0), fwd);
    expect_near(up, _V(0, 1, 0), 1e-9);   // +z stands up
    expect_near(fwd, _V(1, 0, 0), 1e-9);  // heading 90 degrees: forward points east
    v->iface->HorizonInvRot(_V(0, -1, 0), hor_down);
    expect_near(hor_down, _V(0, 0, -1), 1e-9);

    double lng = 0, lat = 0, rad = 0;
    EXPECT_EQ(v->iface->GetEquPos(lng, lat, rad), world->body("Mars")->handle());
    EXPECT_NEAR(lng, 30 * kDeg, 1e-12);
    EXPECT_NEAR(lat, 20 * kDeg, 1e-12);
    EXPECT_NEAR(v->iface->GetAltitude(ALTMODE_GROUND), 1.0, 1e-6);  // feet 1 m below its origin
    VECTOR3 vg;
    v->iface->GetGroundspeedVector(FRAME_HORIZON, vg);
    expect_near(vg, _V(0, 0, 0), 1e-9);
    EXPECT_TRUE(v->iface->GroundContact());

    // The horizon frame is a proper rotation of the body's frame, left-handed like every frame.
    EXPECT_NEAR(det(sim::horizon_basis(30 * kDeg, 20 * kDeg)), 1.0, 1e-12);
    EXPECT_NEAR(det(sim::vessel_to_horizon(*world, *v)), 1.0, 1e-12);
}

TEST_F(FramesTest, GroundSpeedIsMeasuredAgainstTheTurningSurface) {
    place_above_mars(*world, *v, 1000.0, {-3, 4, 5});  // down 3, north 4, east 5 (m/s)
    VECTOR3 vg;
    v->iface->GetGroundspeedVector(FRAME_HORIZON, vg);
    expect_near(vg, _V(5, -3, 4), 1e-9);  // x east, y up, z north
    // Height above the mean radius and above the ground differ by the ground's elevation.
    world->body("Mars")->ground_elevation_m = 200.0;
    EXPECT_NEAR(v->iface->GetAltitude(ALTMODE_MEANRAD) - v->iface->GetAltitude(ALTMODE_GROUND),
                200.0, 1e-6);
}

TEST_F(FramesTest, StatusRecordsCarryTheWholeStateBothWays) {
    place_above_mars(*world, *v, 3000.0, {1, 2, 3});
    v->state.rot = sim::rotation_from_euler({0.3, -0.7, 1.9});
    v->state.omega = {0.01, -0.02, 0.03};
    VESSELSTATUS2 s{};
    s.version = 2;
    v->iface->GetStatusEx(&s);
    EXPECT_EQ(s.rbody, world->body("Mars")->handle());
    expect_near(s.rpos, v->state.rpos, 0.0);
    expect_near(s.rvel, v->state.rvel, 0.0);

    sim::FlightState before = v->state;
    v->state = sim::FlightState{};
    v->iface->DefSetStateEx(&s);
    expect_near(v->state.rpos, before.rpos, 1e-9);
    expect_near(v->state.rvel, before.rvel, 1e-12);
    expect_near(v->state.omega, before.omega, 1e-15);
    const double* a = &v->state.rot.m11;
    const double* b = &before.rot.m11;
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], 1e-12);
}

TEST_F(FramesTest, GlobalPositionsAreSunCentredAndRelativeOnesKeepEveryDigit) {
    place_above_mars(*world, *v, 1234.567);
    sim::Body& mars = *world->body("Mars");
    sim::Body& earth = *world->body("Earth");
    VECTOR3 sun_at, mars_at, earth_at, g;
    oapiGetGlobalPos(world->body("Sun")->handle(), &sun_at);
    oapiGetGlobalPos(mars.handle(), &mars_at);
    oapiGetGlobalPos(earth.handle(), &earth_at);
    v->iface->GetGlobalPos(g);
    expect_near(sun_at, _V(0, 0, 0), 0.0);
    EXPECT_GT(sim::length(mars_at), 1.38 * 1.496e11);
    EXPECT_LT(sim::length(mars_at), 1.67 * 1.496e11);
    expect_near(g - mars_at, v->state.rpos, 1e-4);  // a metre is 1e-11 of the distance
    // Over its own body a vessel's relative position is its state, to the last digit.
    VECTOR3 from_mars, from_earth;
    v->iface->GetRelativePos(mars.handle(), from_mars);
    expect_near(from_mars, v->state.rpos, 0.0);
    v->iface->GetRelativePos(earth.handle(), from_earth);
    expect_near(from_earth, g - earth_at, 1e-4);
}
