// The descent sequence: vector helpers and guidance directions on their own, the attached
// descent's rules at their heights, separation, and the target handed to the autopilot.
#include "lander/descent_sequence.h"

#include <cmath>

#include "host/keys.h"
#include "lander/vector_ops.h"
#include "support/lander_fixture.h"

using autopilot::deg;
using keys = std::vector<DWORD>;

namespace {

void expect_near(const VECTOR3& a, const VECTOR3& b, double tol, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tol) << what;
    EXPECT_NEAR(a.y, b.y, tol) << what;
    EXPECT_NEAR(a.z, b.z, tol) << what;
}

VECTOR3 unit(VECTOR3 v) {
    normalise_in_place(v);
    return v;
}

}  // namespace

TEST(Guidance, RetrogradeLeansAQuarterOfItsAngleFromDownAtMostTenDegreesAndWindTilts20) {
    struct Case {
        double from_down_deg, expected_deg;
    };
    for (const Case c : {Case{20, 25}, Case{40, 50}, Case{60, 70}, Case{90, 100}}) {
        const double a = c.from_down_deg * deg;
        const VECTOR3 d = descent::leaned_retrograde(_V(12 * std::sin(a), -12 * std::cos(a), 0));
        EXPECT_NEAR(std::acos(d.y / vector_length(d)), c.expected_deg * deg, 1e-9);
        EXPECT_NEAR(vector_length(d), 12.0, 1e-9);
        EXPECT_LT(d.x, 0.0);  // against the motion, in the plane of the track
        EXPECT_NEAR(d.z, 0.0, 1e-12);
    }
    // No horizontal motion, no track plane: the vertical, also when climbing or at rest.
    for (const VECTOR3 v : {_V(0, -7, 0), _V(0, 7, 0), _V(0, 0, 0)})
        expect_near(descent::leaned_retrograde(v), descent::vertical, 0);

    const double s = std::sin(20 * deg), c = std::cos(20 * deg);
    expect_near(descent::against_wind(_V(5, 0, 0)), _V(-s, c, 0), 1e-12);
    expect_near(descent::against_wind(_V(0, 3, -4)), _V(0, c, s), 1e-12);
    expect_near(descent::against_wind(_V(0, 2, 0)), descent::vertical, 0);
}

TEST_F(LanderTest, AttachedDescentActsOneRuleAFrameAtItsHeight) {
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
    frame(6000.0);
    EXPECT_TRUE(carrier_keys.empty());
    frame(5999.9);
    frame(5000.0);
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_K}));
    frame(4999.9);
    frame(2000.0);
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_K, OAPI_KEY_G}));
    EXPECT_EQ(l.key_k_sent + l.key_g_sent, 2);
    EXPECT_EQ(l.leg_status, at_rest_open);
    frame(1999.9);
    EXPECT_EQ(l.leg_status, closing);
    l.leg_status = opening;  // the user raises the gear: it is commanded down again
    frame(1700.0);
    EXPECT_EQ(l.leg_status, closing);
    l.leg_status = at_rest_closed;
    frame(1640.0);
    EXPECT_EQ(level(v, l.engine_1), 0.0);
    frame(1639.9);
    l.SetThrusterGroupLevel(THGROUP_MAIN, 0.6);
    frame(1490.0);
    for (THRUSTER_HANDLE e : {l.engine_1, l.engine_2, l.engine_3}) EXPECT_EQ(level(v, e), 0.2);
    EXPECT_EQ(l.autopilot_phase, attached_descent);
    frame(1489.9);
    EXPECT_EQ(carrier_keys.back(), OAPI_KEY_J);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
}

TEST_F(LanderTest, MovingGearHoldsTheKeysBackAndGearAtRestLetsThemThrough) {
    sim::Vessel* carrier = add_carrier();
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    l.mother_vessel = carrier->handle();
    l.autopilot_phase = attached_descent;
    place(v, 1800.0);
    for (int i = 0; i < 2; ++i) l.step_descent_sequence();
    EXPECT_TRUE(carrier_keys.empty());
    l.leg_status = at_rest_closed;
    for (int i = 0; i < 3; ++i) l.step_descent_sequence();
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_G, OAPI_KEY_K}));
}

TEST_F(LanderTest, SeparationReleasesTheLanderAndHandsOverTheFocus) {
    sim::Vessel* carrier = add_carrier();
    place(carrier, 1450.0);
    sim::Vessel* v = add_lander();
    ASSERT_TRUE(hang(v, carrier));
    quor_tevlan& l = lander_of(v);
    l.autopilot_phase = attached_descent;
    l.step_descent_sequence();  // no carrier known: nothing happens
    EXPECT_EQ(l.autopilot_phase, attached_descent);

    l.mother_vessel = carrier->handle();
    carrier->trace.enabled = v->trace.enabled = true;
    l.step_descent_sequence();
    EXPECT_EQ(carrier->trace.ops(),
              std::vector<std::string>(
                  {"GetAttachmentHandle", "SendBufferedKey", "SetEmptyMass", "DetachChild"}));
    EXPECT_EQ(carrier->trace.of("GetAttachmentHandle")[0].args, "false, 0");
    EXPECT_TRUE(carrier->trace.of("DetachChild")[0].args.ends_with(", 0"));  // no push
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_J}));
    EXPECT_EQ(carrier->config.empty_mass_kg, 180.0);
    EXPECT_EQ(v->parent(), nullptr);
    EXPECT_EQ(l.key_j_sent, 1);
    EXPECT_EQ(l.autopilot_phase, powered_descent);
    EXPECT_EQ(world->focus(), v);
    EXPECT_TRUE(v->trace.of("GetMass").empty());  // the autopilot waits for the next frame

    // Re-armed after its carrier has gone away: nothing is sent, the lander goes on.
    world->set_focus(carrier);
    l.autopilot_phase = attached_descent;
    world->destroy_vessel(carrier);
    l.step_descent_sequence();
    EXPECT_EQ(l.autopilot_phase, powered_descent);
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
    place(carrier, 1400.0, {-60, 0, 0});
    sim::place_attached_child(*world, *v);
    for (int i = 0; i < 20; ++i) world->step(0.02);
    EXPECT_EQ(carrier_keys, keys({OAPI_KEY_J}));
    EXPECT_EQ(l.key_k_sent + l.key_g_sent, 0);
    EXPECT_EQ(v->parent(), nullptr);
}

TEST_F(LanderTest, PoweredDescentTargetsByHeight) {
    sim::Vessel* v = add_lander();
    quor_tevlan& l = lander_of(v);
    const double s20 = std::sin(20 * deg), c20 = std::cos(20 * deg);
    struct Case {
        const char* what;
        double height_m;
        VECTOR3 ground_vel;  // global here: x up, y north, z east
        VECTOR3 wind;        // horizon frame
        bool mars_known;
        VECTOR3 expected;  // unit target, lander frame (upright: x west, y north, z up)
    };
    const Case cases[] = {
        {"leaned retrograde",
         300,
         {-10, 0, 10},
         {5, 0, 0},
         true,
         {std::sin(55 * deg), 0, std::cos(55 * deg)}},
        {"straight fall", 300, {-10, 0, 0}, {0, 0, 0}, true, {0, 0, 1}},
        {"vertical below 7 m", 6.5, {-10, 0, 10}, {0, 0, 0}, true, {0, 0, 1}},
        {"against an east wind", 900, {-10, 0, 10}, {5, 0, 0}, true, {s20, 0, c20}},
        {"against a north wind", 900, {-10, 0, 10}, {0, 0, 4}, true, {0, -s20, c20}},
        {"no wind", 900, {-10, 0, 10}, {0, 0, 0}, true, unit(_V(0.5, 0, 0.866))},
        {"no Mars", 900, {-10, 0, 10}, {5, 0, 0}, false, unit(_V(0.5, 0, 0.866))},
    };
    for (const Case& c : cases) {
        mars->wind_horizon = c.wind;
        l.mars_handle = c.mars_known ? mars->handle() : nullptr;
        l.autopilot_phase = powered_descent;
        place(v, c.height_m, c.ground_vel);
        v->trace.clear();
        v->trace.enabled = true;
        l.step_descent_sequence();
        expect_near(unit(l.target_dir), c.expected, 1e-9, c.what);
        EXPECT_EQ(v->trace.of("GetMass").size(), 1u) << c.what;  // the autopilot ran once
    }
}
