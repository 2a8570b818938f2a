// The descent sequence: the vector helpers and guidance directions on their own, the attached
// descent's rules at their heights, separation, and the target handed to the autopilot.
#include "lander/descent_sequence.h"

#include <cmath>

#include "host/keys.h"
#include "lander/vector_ops.h"
#include "support/lander_fixture.h"

using autopilot::deg;

namespace {

void expect_vec_near(const VECTOR3& a, const VECTOR3& b, double tol, const std::string& what = "") {
    EXPECT_NEAR(a.x, b.x, tol) << what;
    EXPECT_NEAR(a.y, b.y, tol) << what;
    EXPECT_NEAR(a.z, b.z, tol) << what;
}

VECTOR3 unit_of(VECTOR3 v) {
    normalise_in_place(v);
    return v;
}

// Angle between a direction and the horizon-frame vertical, rad.
double from_vertical(const VECTOR3& d) {
    return std::acos(d.y / vector_length(d));
}

}  // namespace

TEST(VectorOps, CrossRotationAndNormalise) {
    expect_vec_near(cross_product(_V(1, 0, 0), _V(0, 1, 0)), _V(0, 0, 1), 0);
    expect_vec_near(cross_product(_V(1, 2, 3), _V(4, 5, 6)), _V(-3, 6, -3), 0);
    // Rows first: the matrix is not symmetric.
    expect_vec_near(matrix_times_vector(_M(1, 2, 3, 4, 5, 6, 7, 8, 9), _V(1, 0, -1)),
                    _V(-2, -2, -2), 0);

    // A quarter turn about z takes x to y; any turn keeps lengths and the axis itself.
    expect_vec_near(matrix_times_vector(axis_rotation_matrix(_V(0, 0, 1), 90 * deg), _V(1, 0, 0)),
                    _V(0, 1, 0), 1e-15);
    const VECTOR3 k = unit_of(_V(1, -2, 2));
    const MATRIX3 r = axis_rotation_matrix(k, 37 * deg);
    expect_vec_near(matrix_times_vector(r, k), k, 1e-15);
    EXPECT_NEAR(vector_length(matrix_times_vector(r, _V(3, 4, 12))), 13.0, 1e-12);
    // Turning a vector perpendicular to k moves it by the angle.
    const VECTOR3 p = unit_of(cross_product(k, _V(1, 0, 0)));
    const VECTOR3 q = matrix_times_vector(r, p);
    EXPECT_NEAR(std::acos(p.x * q.x + p.y * q.y + p.z * q.z), 37 * deg, 1e-12);

    VECTOR3 v = _V(0, 3, 4);
    EXPECT_TRUE(normalise_in_place(v));
    expect_vec_near(v, _V(0, 0.6, 0.8), 1e-15);
    VECTOR3 zero = _V(0, 0, 0);
    EXPECT_FALSE(normalise_in_place(zero));
    expect_vec_near(zero, _V(0, 0, 0), 0);
}

TEST(Guidance, RetrogradeLeansAQuarterOfTheAngleFromStraightDownAtMostTenDegrees) {
    using descent::leaned_retrograde;
    struct Case {
        double from_down_deg;  // angle of the ground velocity from straight down
        double expected_deg;   // angle of the target from the vertical
    };
    for (const Case c : {Case{0, 0}, Case{20, 25}, Case{40, 50}, Case{60, 70}, Case{90, 100}}) {
        const double a = c.from_down_deg * deg;
        // Moving east (horizon +x) and down at 12 m/s.
        const VECTOR3 v = _V(12 * std::sin(a), -12 * std::cos(a), 0);
        const VECTOR3 d = leaned_retrograde(v);
        EXPECT_NEAR(from_vertical(d), c.expected_deg * deg, 1e-9) << c.from_down_deg;
        EXPECT_NEAR(d.z, 0.0, 1e-12);  // stays in the plane of the track
        if (c.from_down_deg > 0) {
            EXPECT_LT(d.x, 0.0);  // against the horizontal motion
            EXPECT_NEAR(vector_length(d), 12.0, 1e-9);
        }
    }
    // No horizontal motion: no track plane; the vertical, also when climbing or at rest.
    expect_vec_near(leaned_retrograde(_V(0, -7, 0)), descent::vertical, 0);
    expect_vec_near(leaned_retrograde(_V(0, 7, 0)), descent::vertical, 0);
    expect_vec_near(leaned_retrograde(_V(0, 0, 0)), descent::vertical, 0);
}

TEST(Guidance, WindTiltsTheVerticalTwentyDegreesAgainstItsHorizontalPart) {
    using descent::against_wind;
    const double s = std::sin(20 * deg), c = std::cos(20 * deg);
    expect_vec_near(against_wind(_V(5, 0, 0)), _V(-s, c, 0), 1e-12);
    expect_vec_near(against_wind(_V(0, 3, -4)), _V(0, c, s), 1e-12);  // vertical part ignored
    expect_vec_near(against_wind(_V(0, 2, 0)), descent::vertical, 0);
}

TEST_F(LanderTest, AttachedDescentActsAtEachHeightInTurn) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 20000.0);
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.autopilot_phase = attached_descent;
    auto frame = [&](double height_m) {
        place(v, height_m);
        l.step_descent_sequence();
    };
    using keys = std::vector<DWORD>;

    frame(6000.0);
    EXPECT_TRUE(carrier_keys.empty());
    frame(5999.9);
    frame(5500.0);
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_K}));
    EXPECT_EQ(l.key_k_sent, 1);
    frame(5000.0);
    EXPECT_EQ(carrier_keys.size(), 1u);
    frame(4999.9);
    frame(4000.0);
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_K, OAPI_KEY_G}));
    EXPECT_EQ(l.key_g_sent, 1);

    frame(2000.0);
    EXPECT_EQ(l.leg_status, at_rest_open);
    frame(1999.9);
    EXPECT_EQ(l.leg_status, closing);
    l.leg_status = opening;  // the user commands the gear back up: it is commanded down again
    frame(1700.0);
    EXPECT_EQ(l.leg_status, closing);
    l.leg_status = at_rest_closed;

    frame(1640.0);
    EXPECT_EQ(level(v, l.engine_1), 0.0);
    frame(1639.9);
    for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3}) EXPECT_EQ(level(v, e), 0.2);
    l.SetThrusterGroupLevel(THGROUP_MAIN, 0.6);
    frame(1490.0);
    EXPECT_EQ(level(v, l.engine_2), 0.2);
    EXPECT_EQ(l.autopilot_phase, attached_descent);
    frame(1489.9);
    EXPECT_EQ(carrier_keys.back(), OAPI_KEY_J);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
}

TEST_F(LanderTest, GearMovingHoldsTheKeysBackAndGearAtRestLetsThemThrough) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 20000.0);
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.autopilot_phase = attached_descent;
    place(v, 1800.0);

    // One rule a frame: while the gear is not at rest at 0, the gear rule takes every frame.
    l.step_descent_sequence();
    l.step_descent_sequence();
    EXPECT_TRUE(carrier_keys.empty());
    EXPECT_EQ(l.leg_status, closing);

    l.leg_status = at_rest_closed;
    l.step_descent_sequence();
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_G}));
    l.step_descent_sequence();
    l.step_descent_sequence();
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_G, OAPI_KEY_K}));
}

TEST_F(LanderTest, SeparationReleasesTheLanderAndHandsOverTheFocus) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 1450.0);
    sim::Vessel* v = add_lander();
    ASSERT_TRUE(hang(v, carrier));
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.autopilot_phase = attached_descent;
    carrier->trace.enabled = true;
    v->trace.enabled = true;

    l.step_descent_sequence();
    EXPECT_EQ(carrier->trace.ops(),
              std::vector<std::string>(
                  {"GetAttachmentHandle", "SendBufferedKey", "SetEmptyMass", "DetachChild"}));
    EXPECT_EQ(carrier->trace.of("GetAttachmentHandle")[0].args, "false, 0");
    EXPECT_TRUE(carrier->trace.of("DetachChild")[0].args.ends_with(", 0"));  // no push
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_J}));
    EXPECT_EQ(carrier->config.empty_mass_kg, 180.0);
    EXPECT_EQ(v->parent(), nullptr);
    EXPECT_EQ(l.key_j_sent, 1);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
    EXPECT_EQ(world->focus(), v);
    EXPECT_TRUE(v->trace.of("GetMass").empty());  // the autopilot waits for the next frame
}

TEST_F(LanderTest, WithoutACarrierTheKeysAreMarkedButNothingSeparates) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.autopilot_phase = attached_descent;
    for (double h : {5999.0, 4999.0}) {
        place(v, h);
        l.step_descent_sequence();
    }
    EXPECT_EQ(l.key_k_sent, 1);
    EXPECT_EQ(l.key_g_sent, 1);
    place(v, 1400.0);
    l.step_descent_sequence();
    EXPECT_EQ(l.autopilot_phase, attached_descent);
    EXPECT_EQ(l.key_j_sent, 0);

    // A carrier that has gone away is not acted on; the lander, no longer carried, goes on.
    sim::Vessel* carrier = add_carrier();
    l.mother_vessel = carrier->handle();
    world->destroy_vessel(carrier);
    l.step_descent_sequence();
    EXPECT_EQ(l.autopilot_phase, powered_descent);
    EXPECT_EQ(l.key_j_sent, 1);
    EXPECT_EQ(world->focus(), v);
}

TEST_F(LanderTest, AFrameFromAbove6000ToBelow1490SeparatesAtOnceAndSkipsTheRest) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 6100.0);
    sim::Vessel* v = add_lander();
    ASSERT_TRUE(hang(v, carrier));
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.mars_handle = mars->handle();
    l.autopilot_phase = attached_descent;
    world->step(0.02);
    EXPECT_TRUE(carrier_keys.empty());

    place(carrier, 1400.0, {-60, 0, 0});
    sim::place_attached_child(*world, *v);
    for (int i = 0; i < 20; ++i) world->step(0.02);
    EXPECT_EQ(carrier_keys, std::vector<DWORD>({OAPI_KEY_J}));
    EXPECT_EQ(l.key_k_sent + l.key_g_sent, 0);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
    EXPECT_EQ(v->parent(), nullptr);
}

TEST_F(LanderTest, PoweredDescentTargetsByHeight) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    const double s20 = std::sin(20 * deg), c20 = std::cos(20 * deg);
    const double s55 = std::sin(55 * deg), c55 = std::cos(55 * deg);
    struct Case {
        const char* what;
        double height_m;
        VECTOR3 ground_vel;  // global here: x up, y north, z east
        VECTOR3 wind;        // horizon frame
        bool mars_known;
        VECTOR3 expected;  // unit target, lander frame (upright: x west, y north, z up)
    };
    const Case cases[] = {
        {"leaned retrograde", 300, {-10, 0, 10}, {5, 0, 0}, true, {s55, 0, c55}},
        {"straight fall", 300, {-10, 0, 0}, {0, 0, 0}, true, {0, 0, 1}},
        {"vertical below 7 m", 6.5, {-10, 0, 10}, {0, 0, 0}, true, {0, 0, 1}},
        {"against an east wind", 900, {-10, 0, 10}, {5, 0, 0}, true, {s20, 0, c20}},
        {"against a north wind", 900, {-10, 0, 10}, {0, 0, 4}, true, {0, -s20, c20}},
        {"no wind", 900, {-10, 0, 10}, {0, 0, 0}, true, unit_of(_V(0.5, 0, 0.866))},
        {"no Mars", 900, {-10, 0, 10}, {5, 0, 0}, false, unit_of(_V(0.5, 0, 0.866))},
    };
    for (const Case& c : cases) {
        mars->wind_horizon = c.wind;
        l.mars_handle = c.mars_known ? mars->handle() : nullptr;
        l.autopilot_phase = powered_descent;
        l.last_step = 0.02;
        place(v, c.height_m, c.ground_vel);
        v->trace.clear();
        v->trace.enabled = true;
        l.step_descent_sequence();
        expect_vec_near(unit_of(l.target_dir), c.expected, 1e-9, c.what);
        EXPECT_EQ(v->trace.of("GetMass").size(), 1u) << c.what;  // the autopilot ran once
        EXPECT_EQ(world->log_lines().size(), 0u);
        if (!c.mars_known) {
            EXPECT_TRUE(v->trace.of("oapiGetWindVector").empty());
        }
    }
}
