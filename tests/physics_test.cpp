// The stand-in's physics: analytic cases, thrust and propellant, the touchdown springs, the
// frame conventions, attachments in motion, and states that stop being finite.
#include "sim/physics.h"

#include <cmath>
#include <numbers>

#include "host/oapi.h"
#include "sim/frames.h"
#include "sim/loads.h"
#include "support/mars_world_fixture.h"
#include "support/placement.h"

namespace {

constexpr double kLanderPmi[3] = {0.46, 0.94, 1.05};

// A vessel shaped like the lander: mass, inertia, three engines at the lander's places and its
// six touchdown points.
void lander_like(test_vessel& t) {
    static const TOUCHDOWNVTX feet[] = {
        {{-1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0}, {{1.4, 0.9, -0.85}, 60000, 2000, 3.0, 3.0},
        {{0, -1.7, -0.85}, 60000, 2000, 3.0, 3.0},   {{-2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0},
        {{2.0, 0.65, 0.85}, 13220, 10420, 3.0, 0.0}, {{0, -1.0, 0.85}, 13220, 10420, 3.0, 0.0}};
    t.SetEmptyMass(576);
    t.SetPMI(_V(kLanderPmi[0], kLanderPmi[1], kLanderPmi[2]));
    t.SetSize(2.0);
    t.SetTouchdownPoints(feet, 6);
    PROPELLANT_HANDLE tank = t.CreatePropellantResource(85);
    THRUSTER_HANDLE e1 = t.CreateThruster(_V(0, 0.95, -0.3), _V(0, 0, 1), 2667, tank, 2128);
    THRUSTER_HANDLE e2 = t.CreateThruster(_V(-0.822, -0.475, -0.3), _V(0, 0, 1), 2667, tank, 2128);
    THRUSTER_HANDLE e3 = t.CreateThruster(_V(0.822, -0.475, -0.3), _V(0, 0, 1), 2667, tank, 2128);
    THRUSTER_HANDLE up[] = {e2, e3}, down[] = {e1}, right[] = {e2}, main[] = {e1, e2, e3};
    t.CreateThrusterGroup(up, 2, THGROUP_ATT_PITCHUP);
    t.CreateThrusterGroup(down, 1, THGROUP_ATT_PITCHDOWN);
    t.CreateThrusterGroup(right, 1, THGROUP_ATT_YAWRIGHT);
    t.CreateThrusterGroup(main, 3, THGROUP_MAIN);
}

using PhysicsTest = MarsWorldTest;

// A body that keeps its prime meridian still.
void stop_turning(sim::Body& b) {
    sim::RotationalElements still = b.spin();
    still.meridian_deg_day = 0.0;
    b.set_spin(still);
}

}  // namespace

TEST_F(PhysicsTest, FreeFallAndCircularOrbitMatchTheAnalyticAnswers) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    stop_turning(*mars);

    sim::Vessel* faller = make([](test_vessel& t) { t.SetEmptyMass(100); });
    place_above_mars(*world, *faller, 2000.0);
    double r0 = mars->ground_radius_m() + 2000.0;
    double g = mars->gm_m3_s2 / (r0 * r0);
    run(10.0, 0.02);
    EXPECT_NEAR(height(*faller), 2000.0 - 0.5 * g * 100.0, 0.05);
    EXPECT_NEAR(sim::dot(faller->state.rvel, sim::unit(faller->state.rpos)), -g * 10.0, 0.01);
    world->destroy_vessel(faller);

    // A circular orbit 250 km up keeps its radius and comes round in its period.
    sim::Vessel* sat = make([](test_vessel& t) { t.SetEmptyMass(100); });
    double r = mars->mean_radius_m + 250e3;
    double speed = std::sqrt(mars->gm_m3_s2 / r);
    double period = 2.0 * std::numbers::pi * r / speed;
    sat->state.ref = mars;
    sat->state.rpos = {r, 0, 0};
    sat->state.rvel = {0, 0, speed};
    run(period, 0.1);
    EXPECT_NEAR(sim::length(sat->state.rpos), r, 5.0);
    EXPECT_NEAR(sat->state.rpos.x, r, 200.0);  // back where it started, within 0.02% of a turn
    EXPECT_NEAR(sim::length(sat->state.rvel), speed, 0.01);
}

TEST_F(PhysicsTest, ThrustHoversAndBurnsPropellantAtThrustOverIsp) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    stop_turning(*mars);
    sim::Vessel* v = make(lander_like);
    place_above_mars(*world, *v, 500.0);
    double m0 = v->mass_kg();
    double r = sim::length(v->state.rpos);
    double weight = m0 * mars->gm_m3_s2 / (r * r);
    // Hold the main engines at the weight-equal level, following the mass as it falls.
    v->iface->SetThrusterGroupLevel(THGROUP_MAIN, weight / 8001.0);
    as_test_vessel(v).before_step = [&](test_vessel& t, double) {
        double w = t.GetMass() * mars->gm_m3_s2 / (r * r);
        t.SetThrusterGroupLevel(THGROUP_MAIN, w / 8001.0);
    };
    double p0 = v->propellant_mass_kg();
    run(10.0, 0.02);
    EXPECT_NEAR(height(*v), 500.0, 0.05);
    // Mass flow equals thrust over the specific impulse.
    double burnt = p0 - v->propellant_mass_kg();
    EXPECT_NEAR(burnt, weight / 2128.0 * 10.0, 0.01 * burnt);

    // An empty tank gives no thrust.
    v->propellants[0]->mass_kg = 0.0;
    as_test_vessel(v).before_step = nullptr;
    v->iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
    double vy_before = sim::dot(v->state.rvel, sim::unit(v->state.rpos));
    run(1.0, 0.02);
    double vy_after = sim::dot(v->state.rvel, sim::unit(v->state.rpos));
    EXPECT_LT(vy_after, vy_before - 3.0);
}

TEST_F(PhysicsTest, FeetComeToRestAtTheStaticSinkForEveryFrameLength) {
    for (double dt : {0.005, 0.02, 0.05, 0.1}) {
        for (double accel : {1.0, 10.0}) {
            SCOPED_TRACE("dt " + std::to_string(dt) + " accel " + std::to_string(accel));
            sim::Vessel* v = make(lander_like);
            place_above_mars(*world, *v, 0.85 + 1.0);  // feet 1 m above the ground
            run(20.0, dt * accel);
            double m = v->mass_kg();
            double r = sim::length(v->state.rpos);
            double weight = m * mars->gm_m3_s2 / (r * r);
            double sink = weight / (3 * 60000.0);
            EXPECT_NEAR(height(*v), 0.85 - sink, 0.005);
            EXPECT_TRUE(v->iface->GroundContact());
            EXPECT_LT(sim::length(sim::ground_velocity(*world, *v)), 0.01);
            VECTOR3 axis = sim::mul(sim::vessel_to_horizon(*world, *v), VECTOR3{0, 0, 1});
            EXPECT_GT(axis.y, 0.9999);
            world->destroy_vessel(v);
        }
    }
}

TEST_F(PhysicsTest, EngineGroupsTurnTheVesselTheWayTheFramesPromise) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    struct Case {
        THGROUP_TYPE group;
        int rate_axis;  // 0 x, 1 y
        double rate_sign;
        VECTOR3 z_moves_towards;
    };
    const Case cases[] = {
        {THGROUP_ATT_PITCHUP, 0, +1.0, {0, 1, 0}},  // engines 2 and 3, at -y
        {THGROUP_ATT_PITCHDOWN, 0, -1.0, {0, -1, 0}},
        {THGROUP_ATT_YAWRIGHT, 1, -1.0, {1, 0, 0}},  // engine 2 alone, at -x
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.group));
        sim::Vessel* v = make(lander_like);
        place_above_mars(*world, *v, 5000.0);
        MATRIX3 start = v->state.rot;
        v->iface->SetThrusterGroupLevel(c.group, 0.1);
        run(0.5, 0.02);
        double rate = c.rate_axis == 0 ? v->state.omega.x : v->state.omega.y;
        EXPECT_GT(rate * c.rate_sign, 0.0);
        // Where the +z axis now points, seen in the starting vessel frame.
        VECTOR3 z_now = sim::tmul(start, sim::mul(v->state.rot, VECTOR3{0, 0, 1}));
        EXPECT_GT(sim::dot(z_now, c.z_moves_towards), 0.001);
        world->destroy_vessel(v);
    }
}

TEST_F(PhysicsTest, StepInWhichTheTankRunsDryGivesTheImpulseOfItsPropellant) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    // 2000 N at 3000 m/s burns 0.0133 kg in a 20 ms frame: the second tank runs dry within it.
    struct Case {
        double propellant_kg, impulse_n_s;
    } cases[] = {{1.0, 2000.0 * 0.02}, {0.005, 0.005 * 3000.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.propellant_kg);
        auto rocket = [&](bool lit) {
            return make([&c, lit](test_vessel& t) {
                t.SetEmptyMass(100);
                PROPELLANT_HANDLE tank = t.CreatePropellantResource(1.0);
                t.SetPropellantMass(tank, c.propellant_kg);
                THRUSTER_HANDLE th = t.CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 2000, tank, 3000);
                t.SetThrusterLevel(th, lit ? 1.0 : 0.0);
            });
        };
        sim::Vessel* v = rocket(true);
        sim::Vessel* twin = rocket(false);  // falls the same way without thrust
        place_above_mars(*world, *v, 5000.0);
        place_above_mars(*world, *twin, 5000.0);
        const double mass_before = v->mass_kg();
        world->step(0.02);
        // The step's kicks move the mass of mid-step.
        double mass_mid = 0.5 * (mass_before + v->mass_kg());
        VECTOR3 up = sim::mul(v->state.rot, VECTOR3{0, 0, 1});
        double dv = sim::dot(v->state.rvel - twin->state.rvel, up);
        EXPECT_NEAR(dv * mass_mid, c.impulse_n_s, 1e-6 * c.impulse_n_s);
        world->destroy_vessel(v);
        world->destroy_vessel(twin);
    }
}

TEST_F(PhysicsTest, WindBlowsUpToOneCeilingForDragAndForTheWindQuery) {
    mars->wind_horizon = {12.0, 0.0, -5.0};  // east and south
    sim::Vessel* v = make([](test_vessel& t) { t.SetEmptyMass(100); });
    struct Case {
        double altitude_m;
        bool blows;
    } cases[] = {{99.9e3, true}, {100e3, false}, {100.1e3, false}, {2e3, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.altitude_m);
        // At rest relative to the turning air: only the wind can push.
        place_above_mars(*world, *v, c.altitude_m - mars->ground_elevation_m);
        VECTOR3 drag = sim::compute_loads(*world, *v).force_global;
        VECTOR3 wind = oapiGetWindVector(mars->handle(), 0.0, 0.0, c.altitude_m, 0, nullptr);
        if (c.blows) {
            EXPECT_EQ(wind.x, 12.0);
            // In the horizon frame (x east, z north) the drag follows the wind.
            VECTOR3 d = sim::mul(sim::global_to_horizon(*world, *v), drag);
            EXPECT_GT(d.x, 0.0);
            EXPECT_NEAR(d.z / d.x, -5.0 / 12.0, 1e-9);
            EXPECT_NEAR(d.y / d.x, 0.0, 1e-9);
        } else {
            EXPECT_EQ(sim::length(wind), 0.0);
            EXPECT_EQ(sim::length(drag), 0.0);
        }
    }
}

TEST_F(PhysicsTest, AirKeepsThickeningBelowTheMeanRadius) {
    const double scale_m = mars->atmosphere.scale_height_m, rho0 = mars->atmosphere.density0_kg_m3;
    for (double h : {-4000.0, 0.0, 3000.0})
        EXPECT_NEAR(mars->air_density(h), rho0 * std::exp(-h / scale_m), 1e-12) << h;
    // A vessel falling at 50 m/s just above ground 4 km below the mean radius feels that air.
    mars->ground_elevation_m = -4000.0;
    sim::Vessel* v = make([](test_vessel& t) {
        t.SetEmptyMass(100);
        t.SetCW(1.0, 1.0, 1.0, 1.0);
        t.SetCrossSections(_V(2, 2, 2));
    });
    place_above_mars(*world, *v, 200.0, {-50, 0, 0});
    double rho = rho0 * std::exp(3800.0 / scale_m);
    double drag = sim::length(sim::compute_loads(*world, *v).force_global);
    EXPECT_NEAR(drag, 0.5 * rho * 50.0 * 50.0 * 2.0, 1e-6 * drag);
}

TEST_F(PhysicsTest, AttachedChildRidesWithItsParentAndLeavesWithItsMotion) {
    mars->atmosphere.density0_kg_m3 = 0.0;
    sim::Vessel* parent = make([](test_vessel& t) {
        t.SetEmptyMass(1000);
        t.CreateAttachment(false, _V(0, 0, -2), _V(0, 0, -1), _V(0, 1, 0), "child");
    });
    sim::Vessel* child = make([](test_vessel& t) {
        t.SetEmptyMass(500);
        t.CreateAttachment(true, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "land");
    });
    place_above_mars(*world, *parent, 8000.0, {0, 0, 100});
    ASSERT_TRUE(parent->iface->AttachChild(child->handle(), parent->attachment_point(false, 0),
                                           child->attachment_point(true, 0)));
    EXPECT_EQ(parent->mass_kg(), 1500.0);
    run(2.0, 0.02);
    // The child hangs 3 m below the parent's origin, upright like it.
    VECTOR3 offset = sim::tmul(parent->state.rot, child->state.rpos - parent->state.rpos);
    EXPECT_NEAR(offset.z, -3.0, 1e-9);
    EXPECT_NEAR(sim::dot(sim::mul(child->state.rot, VECTOR3{0, 0, 1}),
                         sim::mul(parent->state.rot, VECTOR3{0, 0, 1})),
                1.0, 1e-12);
    VECTOR3 vel_before = parent->state.rvel;
    ASSERT_TRUE(parent->iface->DetachChild(parent->attachment_point(false, 0), 2.0));
    // Released with the parent's velocity plus 2 m/s along the point's direction (down).
    VECTOR3 down = sim::mul(parent->state.rot, VECTOR3{0, 0, -1});
    EXPECT_NEAR(sim::length(child->state.rvel - (vel_before + down * 2.0)), 0.0, 1e-9);
    EXPECT_EQ(parent->iface->GetAttachmentStatus(parent->attachment_point(false, 0)), nullptr);
    EXPECT_EQ(parent->mass_kg(), 1000.0);
}

TEST_F(PhysicsTest, NonFiniteStateStopsTheRunNamingTheVessel) {
    sim::Vessel* v = make(lander_like);
    place_above_mars(*world, *v, 1000.0);
    v->state.rvel.x = std::nan("");
    try {
        world->step(0.02);
        FAIL() << "the step went on";
    } catch (const sim::NonFiniteState& e) {
        EXPECT_NE(std::string(e.what()).find(v->name()), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("frame"), std::string::npos);
    }
}

// With drag on a vessel and on the child hanging from it, the motion stays second order in the
// internal step: halving the step quarters the error (a first-order step only halves it).
TEST_F(PhysicsTest, DragKeepsTheStepSecondOrderForAVesselAndItsHangingChild) {
    stop_turning(*mars);
    auto height_after = [&](double step_s) {
        world->steps.free_s = step_s;
        sim::Vessel* parent = make([](test_vessel& t) {
            t.SetEmptyMass(800);
            t.SetCW(1.0, 1.0, 1.0, 1.0);
            t.SetCrossSections(_V(8, 8, 8));
            t.CreateAttachment(false, _V(0, 0, -2), _V(0, 0, -1), _V(0, 1, 0), "child");
        });
        sim::Vessel* child = make([](test_vessel& t) {
            t.SetEmptyMass(400);
            t.SetCW(1.5, 1.5, 1.5, 1.5);
            t.SetCrossSections(_V(12, 12, 12));
            t.CreateAttachment(true, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "land");
        });
        place_above_mars(*world, *parent, 6000.0, {-250, 0, 40});
        parent->iface->AttachChild(child->handle(), parent->attachment_point(false, 0),
                                   child->attachment_point(true, 0));
        run(20.0, 0.04);
        const double h = height(*parent);
        world->destroy_vessel(child);
        world->destroy_vessel(parent);
        return h;
    };
    const double reference = height_after(0.00125);
    const double coarse = height_after(0.02) - reference, fine = height_after(0.01) - reference;
    ASSERT_GT(std::abs(fine), 1e-9);
    EXPECT_GT(coarse / fine, 3.0) << coarse << " m, " << fine << " m";
    EXPECT_LT(coarse / fine, 5.0) << coarse << " m, " << fine << " m";
}
