// Rotation in the stand-in: a torque-free body keeps its energy and angular momentum and flips
// about its intermediate axis at the true period; a hanging pair turns with the inertia of the
// whole about its common centre of mass.
#include <cmath>
#include <numbers>
#include <vector>

#include "sim/attitude.h"
#include "sim/frames.h"
#include "sim/mass_properties.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

constexpr double kFrame_s = 0.02;  // the program's default frame length
constexpr double kMass_kg = 500.0;

MATRIX3 inertia_of(const VECTOR3& pmi) {
    return sim::diagonal(pmi * kMass_kg);
}

// Euler's equations, I dw/dt = w x (I w), for a diagonal inertia.
VECTOR3 euler_rate(const VECTOR3& pmi, const VECTOR3& w) {
    VECTOR3 iw{pmi.x * w.x, pmi.y * w.y, pmi.z * w.z};
    VECTOR3 r = sim::cross(w, iw);
    return {r.x / pmi.x, r.y / pmi.y, r.z / pmi.z};
}

// Times at which w.y changes sign, by classical Runge-Kutta at a fine step, linearly
// interpolated.
std::vector<double> reference_flips(const VECTOR3& pmi, VECTOR3 w, double duration_s) {
    const double h = 1e-4;
    std::vector<double> flips;
    for (double t = 0.0; t < duration_s; t += h) {
        VECTOR3 k1 = euler_rate(pmi, w), k2 = euler_rate(pmi, w + k1 * (h / 2)),
                k3 = euler_rate(pmi, w + k2 * (h / 2)), k4 = euler_rate(pmi, w + k3 * h);
        VECTOR3 next = w + (k1 + k2 * 2.0 + k3 * 2.0 + k4) * (h / 6);
        if ((next.y > 0) != (w.y > 0))
            flips.push_back(t + h * w.y / (w.y - next.y));
        w = next;
    }
    return flips;
}

// The rate a body of inertia j reaches from rest under a constant torque (vessel frame), by
// classical Runge-Kutta on j dw/dt = tau + w x (j w) at a fine step.
VECTOR3 spun_up(const MATRIX3& j, const VECTOR3& torque, double duration_s) {
    MATRIX3 inv = sim::inverse_symmetric(j);
    auto rate = [&](const VECTOR3& w) {
        return sim::mul(inv, torque + sim::cross(w, sim::mul(j, w)));
    };
    const double h = 1e-4;
    VECTOR3 w{0, 0, 0};
    for (int i = 0; i < static_cast<int>(std::lround(duration_s / h)); ++i) {
        VECTOR3 k1 = rate(w), k2 = rate(w + k1 * (h / 2)), k3 = rate(w + k2 * (h / 2)),
                k4 = rate(w + k3 * h);
        w = w + (k1 + k2 * 2.0 + k3 * 2.0 + k4) * (h / 6);
    }
    return w;
}

double mean_spacing(const std::vector<double>& t) {
    return (t.back() - t.front()) / static_cast<double>(t.size() - 1);
}

class RotationTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        mars = world->body("Mars");
        mars->atmosphere.density0_kg_m3 = 0.0;
    }

    // A body of the given moments in a circular orbit 300 km up, at a general attitude.
    sim::Vessel* orbiting(const VECTOR3& pmi, const VECTOR3& omega) {
        set_next_test_vessel_setup([pmi](test_vessel& t) {
            t.SetEmptyMass(kMass_kg);
            t.SetPMI(pmi);
        });
        sim::Vessel* v = create("Body" + std::to_string(++count_), "test_vessel");
        double r = mars->mean_radius_m + 300e3;
        v->state.ref = mars;
        v->state.rpos = {r, 0, 0};
        v->state.rvel = {0, 0, std::sqrt(mars->gm_m3_s2 / r)};
        v->state.rot = sim::rotation_from_euler({0.4, -0.9, 1.3});
        v->state.omega = omega;
        return v;
    }

    sim::Body* mars = nullptr;

  private:
    int count_ = 0;
};

}  // namespace

TEST_F(RotationTest, TorqueFreeBodyKeepsEnergyAndAngularMomentumAtTheDefaultFrame) {
    struct Case {
        const char* name;
        VECTOR3 pmi;
        VECTOR3 omega;  // rad/s, about 1 rad/s
        double duration_s;
    } cases[] = {
        {"near the intermediate axis", {0.46, 0.94, 1.05}, {0.02, 1.0, 0.03}, 100.0},
        {"about the major axis", {1.0, 2.0, 3.0}, {0.05, 0.03, 1.0}, 1000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Vessel* v = orbiting(c.pmi, c.omega);
        MATRIX3 inertia = inertia_of(c.pmi);
        auto momentum = [&] { return sim::mul(v->state.rot, sim::mul(inertia, v->state.omega)); };
        double e0 = sim::rotational_energy(inertia, v->state.omega);
        VECTOR3 l0 = momentum();
        double max_energy = 0.0, max_size = 0.0, max_turn = 0.0;
        int frames = static_cast<int>(std::lround(c.duration_s / kFrame_s));
        for (int i = 0; i < frames; ++i) {
            world->step(kFrame_s);
            VECTOR3 l = momentum();
            max_energy = std::max(
                max_energy, std::abs(sim::rotational_energy(inertia, v->state.omega) / e0 - 1.0));
            max_size = std::max(max_size, std::abs(sim::length(l) / sim::length(l0) - 1.0));
            max_turn = std::max(max_turn, sim::length(l - l0) / sim::length(l0));
        }
        EXPECT_LT(max_energy, 1e-4);
        EXPECT_LT(max_size, 1e-4);
        EXPECT_LT(max_turn, 1e-4);
        // It really tumbles: the rate moved well away from where it started.
        EXPECT_GT(sim::length(v->state.omega - c.omega), 0.02);
        world->destroy_vessel(v);
    }
}

// A crash deep into the ground once gave a rate whose sub-step count overflowed an int. A fast
// spin within the sub-step bound stays an attitude; an absurd one may end not finite, which the
// frame's state check reports, but is never undefined behaviour.
TEST(RotationStep, AnyRateTurnsInBoundedSubSteps) {
    const MATRIX3 inertia = sim::diagonal({0.46, 0.94, 1.05});
    const MATRIX3 inverse = sim::inverse_symmetric(inertia);
    for (double rate : {1e4, 1e12, 3e117}) {
        MATRIX3 r = sim::identity3();
        VECTOR3 omega = sim::unit({0.3, -0.7, 0.2}) * rate;
        sim::free_rotation_step(r, omega, inertia, inverse, 0.02);
        const VECTOR3 x{r.m11, r.m21, r.m31}, y{r.m12, r.m22, r.m32};
        if (rate > 1e4 && !(std::isfinite(sim::length(x)) && std::isfinite(sim::length(y))))
            continue;
        EXPECT_NEAR(sim::length(x), 1.0, 1e-6) << rate;
        EXPECT_NEAR(sim::dot(x, y), 0.0, 1e-6) << rate;
    }
}

TEST_F(RotationTest, IntermediateAxisFlipsKeepThePeriodOfAFineStepReference) {
    const VECTOR3 pmi{0.46, 0.94, 1.05};
    const VECTOR3 omega = sim::unit({0.1, 1.0, 0.1});
    const double duration_s = 100.0;
    std::vector<double> expected = reference_flips(pmi, omega, duration_s);
    ASSERT_GE(expected.size(), 4u);

    sim::Vessel* v = orbiting(pmi, omega);
    std::vector<double> flips;
    double t = 0.0;
    for (int i = 0; i < static_cast<int>(duration_s / kFrame_s); ++i) {
        double before = v->state.omega.y;
        world->step(kFrame_s);
        double after = v->state.omega.y;
        if ((after > 0) != (before > 0))
            flips.push_back(t + kFrame_s * before / (before - after));
        t += kFrame_s;
    }
    ASSERT_EQ(flips.size(), expected.size());
    EXPECT_NEAR(mean_spacing(flips), mean_spacing(expected), 0.01 * mean_spacing(expected));
    EXPECT_NEAR(flips.front(), expected.front(), 0.01 * mean_spacing(expected));
}

TEST_F(RotationTest, HangingPairTurnsWithTheInertiaOfTheWholeAboutItsCentreOfMass) {
    // A couple about the carrier's x axis: two thrusters pushing opposite ways, 1 m apart.
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(390);  // 400 kg with its propellant
        t.SetPMI(_V(0.55, 0.6, 0.75));
        PROPELLANT_HANDLE tank = t.CreatePropellantResource(10);
        t.SetThrusterLevel(t.CreateThruster(_V(0, 0.5, 0), _V(0, 0, 1), 20, tank, 0), 1.0);
        t.SetThrusterLevel(t.CreateThruster(_V(0, -0.5, 0), _V(0, 0, -1), 20, tank, 0), 1.0);
        t.CreateAttachment(false, _V(0.3, 0.2, 1.6), _V(0, 0, -1), _V(0.6, 0.8, 0), "payload");
    });
    sim::Vessel* carrier = create("Carrier", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(660);
        t.SetPMI(_V(0.46, 0.94, 1.05));
        t.CreateAttachment(true, _V(0, 0, -0.9), _V(0, 0, 1), _V(0, 1, 0), "carrier");
    });
    sim::Vessel* lander = create("Lander", "test_vessel");
    double r = mars->mean_radius_m + 300e3;
    carrier->state.ref = mars;
    carrier->state.rpos = {r, 0, 0};
    carrier->state.rvel = {0, 0, std::sqrt(mars->gm_m3_s2 / r)};
    carrier->state.rot = sim::rotation_from_euler({0.3, 0.5, -0.2});
    ASSERT_TRUE(carrier->iface->AttachChild(lander->handle(), carrier->attachment_point(false, 0),
                                            lander->attachment_point(true, 0)));

    // The composite inertia about the common centre, worked out here from the pair's layout.
    sim::RelativePlace place = sim::relative_place(*carrier, *lander);
    VECTOR3 centre = place.offset_m * (660.0 / 1060.0);
    MATRIX3 lander_inertia = sim::mul(
        place.rot,
        sim::mul(sim::diagonal(VECTOR3{0.46, 0.94, 1.05} * 660.0), sim::transpose(place.rot)));
    MATRIX3 whole =
        sim::add(sim::add(sim::diagonal(VECTOR3{0.55, 0.6, 0.75} * 400.0),
                          sim::point_mass_inertia(400, -centre)),
                 sim::add(lander_inertia, sim::point_mass_inertia(660, place.offset_m - centre)));
    // A small probe starts at the centre of mass with its velocity and falls beside it.
    set_next_test_vessel_setup([](test_vessel& t) { t.SetEmptyMass(1); });
    sim::Vessel* probe = create("Probe", "test_vessel");
    probe->state.ref = mars;
    probe->state.rpos = carrier->state.rpos + sim::mul(carrier->state.rot, centre);
    probe->state.rvel = carrier->state.rvel;
    const VECTOR3 torque{-20.0, 0, 0};  // N m: 2 x 20 N x 0.5 m, in the sense of F x r
    const double duration_s = 1.0;
    for (int i = 0; i < 50; ++i) world->step(kFrame_s);

    VECTOR3 expected = spun_up(whole, torque, duration_s);
    double tol = 0.002 * sim::length(expected);
    EXPECT_NEAR(carrier->state.omega.x, expected.x, tol);
    EXPECT_NEAR(carrier->state.omega.y, expected.y, tol);
    EXPECT_NEAR(carrier->state.omega.z, expected.z, tol);
    // A couple moves nothing: the centre of mass only falls around its orbit.
    VECTOR3 centre_now = carrier->state.rpos + sim::mul(carrier->state.rot, centre);
    EXPECT_LT(sim::length(centre_now - probe->state.rpos), 1e-4);
}
