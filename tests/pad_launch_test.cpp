// Launch detection and the pad's effects: which vessel is the rocket, when the umbilical is
// triggered, the plume timing after a trigger, lights and beacons at the night threshold, the
// vent held while time runs fast; then the pad's keys and its scenario line.
#include <cmath>
#include <cstring>

#include "host/keys.h"
#include "sim/keyboard.h"
#include "support/pad_fixture.h"

namespace {

VECTOR3 offset(VECTOR3 p, double dx, double dy, double dz) {
    return {p.x + dx, p.y + dy, p.z + dz};
}

}  // namespace

TEST_F(PadTest, TheFirstVesselInIndexOrderWithinTheSphereIsTheRocket) {
    sim::Vessel* pad = add_pad();
    // Index 1 lies farther from the probe point than index 2, but comes first.
    add_rocket("Idle", offset(probe_point, 0, 0, 40), 0.0);
    add_rocket("Burning", offset(probe_point, 0, 0, 1), 1.0);
    frame(pad, 0.02);
    EXPECT_EQ(pad_of(pad).umb_status, umb_at_rocket);
    EXPECT_EQ(level(pad, pad_of(pad).th_side_plume), 0.0);
}

TEST_F(PadTest, OnlyALevelAboveLiftOffTriggersAndOnlyOnce) {
    sim::Vessel* pad = add_pad();
    sim::Vessel* rocket = add_rocket("Rocket", offset(probe_point, 0, 0, 30), 0.7);
    b_tvm58& p = pad_of(pad);
    pad->iface->SetThrusterLevel(p.th_vent, 1.0);
    frame(pad, 0.02);
    EXPECT_EQ(p.umb_status, umb_at_rocket);       // exactly 0.7 is not enough
    EXPECT_EQ(level(pad, p.th_side_plume), 1.0);  // but lights the side plume
    EXPECT_EQ(level(pad, p.th_vent), 1.0);

    set_main(rocket, std::nextafter(0.7, 1.0));
    frame(pad, 0.02);
    EXPECT_EQ(p.umb_status, umb_swinging_away);
    EXPECT_EQ(level(pad, p.th_vent), 0.0);
    pad->iface->SetThrusterLevel(p.th_vent, 1.0);
    frame(pad, 0.02);
    EXPECT_EQ(p.umb_status, umb_swinging_away);  // no second reversal
    EXPECT_EQ(level(pad, p.th_vent), 1.0);
}

TEST_F(PadTest, TheSearchSphereEndsStrictlyAtFiftyMetres) {
    sim::Vessel* pad = add_pad();
    sim::Vessel* rocket = add_rocket("Rocket", offset(probe_point, 50, 0, 0), 1.0);
    frame(pad, 0.02);
    EXPECT_EQ(pad_of(pad).umb_status, umb_at_rocket);
    EXPECT_EQ(level(pad, pad_of(pad).th_side_plume), 0.0);
    put(rocket, offset(probe_point, std::nextafter(50.0, 0.0), 0, 0));
    frame(pad, 0.02);
    EXPECT_EQ(pad_of(pad).umb_status, umb_swinging_away);
}

TEST_F(PadTest, StatusesThatNeverTriggerAndOnesThatDo) {
    const struct {
        int loaded, after;
    } cases[] = {{umb_swung_away, umb_swung_away},
                 {umb_to_rocket, umb_to_rocket},
                 {umb_swinging_away, umb_swinging_away},
                 {-3, umb_to_rocket}};
    for (const auto& c : cases) {
        sim::Vessel* pad = add_pad("Pad" + std::to_string(c.loaded));
        add_rocket("Rocket" + std::to_string(c.loaded), probe_point, 1.0);
        pad_of(pad).umb_status = c.loaded;
        pad_of(pad).umb_state = 0.0;
        pad->iface->SetThrusterLevel(pad_of(pad).th_vent, 1.0);
        pad_of(pad).clbkBeforeStep(0, 0.02, 0);
        EXPECT_EQ(pad_of(pad).umb_status, c.after) << c.loaded;
        EXPECT_EQ(level(pad, pad_of(pad).th_vent), c.loaded < 1 ? 0.0 : 1.0) << c.loaded;
        world->destroy_vessel(world->vessel("Rocket" + std::to_string(c.loaded)));
        world->destroy_vessel(pad);
    }
}

TEST_F(PadTest, PlumeTimingAfterTheTrigger) {
    sim::Vessel* pad = add_pad();
    sim::Vessel* rocket = add_rocket("Rocket", probe_point, 0.05);
    const b_tvm58& p = pad_of(pad);
    const double dt = 0.01;
    frame(pad, dt);
    EXPECT_EQ(level(pad, p.th_side_plume), 0.0);
    set_main(rocket, 0.5);  // past 0.1, short of lift-off: plume on, arms stay
    frame(pad, dt);
    EXPECT_EQ(level(pad, p.th_side_plume), 1.0);
    EXPECT_EQ(p.umb_status, umb_at_rocket);

    set_main(rocket, 1.0);
    double side_off = -1, pad_on = -1, pad_off = -1;
    for (int i = 0; i < 500; ++i) {
        const double t = i * dt;  // since the trigger, at the start of the frame
        frame(pad, dt);
        const double side = level(pad, p.th_side_plume), plume = level(pad, p.th_pad_plume);
        if (side_off < 0 && side == 0.0)
            side_off = t;
        if (pad_on < 0 && plume == 1.0)
            pad_on = t;
        if (pad_on >= 0 && pad_off < 0 && plume == 0.0)
            pad_off = t;
    }
    EXPECT_NEAR(side_off, 3.6, dt + 1e-9);
    EXPECT_NEAR(pad_on, 2.0, dt + 1e-9);
    EXPECT_NEAR(pad_off, 3.96, dt + 1e-9);
    EXPECT_EQ(p.umb_status, umb_swung_away);

    // The rocket leaving the sphere puts the side plume out at once.
    sim::Vessel* pad2 = add_pad("Pad2", offset(night_pos, 5000, 0, 0));
    put(rocket, offset(probe_point, 5000, 0, 0));
    frame(pad2, dt);
    EXPECT_EQ(level(pad2, pad_of(pad2).th_side_plume), 1.0);
    put(rocket, offset(probe_point, 5000, 0, 60));
    frame(pad2, dt);
    EXPECT_EQ(level(pad2, pad_of(pad2).th_side_plume), 0.0);
}

TEST_F(PadTest, LightsFloodlightsAndBeaconsFollowNightAndHoldAtTheThreshold) {
    // A position from which the Sun's elevation sine is exactly the threshold.
    VECTOR3 edge{199.99749998437491, 0, 1};
    for (int i = 0; i < 200 && sun_elevation_sine(edge * -2.0) != -0.005; ++i)
        edge.x = std::nextafter(edge.x, sun_elevation_sine(edge * -2.0) < -0.005 ? 1e9 : 0.0);
    ASSERT_EQ(sun_elevation_sine(edge * -2.0), -0.005);

    sim::Vessel* v = add_pad("Pad", edge);
    b_tvm58& p = pad_of(v);
    for (double lights : {0.0, 1.0}) {
        v->iface->SetThrusterLevel(p.th_lights, lights);
        for (auto& b : p.beacon) b.active = lights > 0;
        frame(v, 0.02);
        EXPECT_EQ(level(v, p.th_lights), lights);
        for (const auto& b : p.beacon) EXPECT_EQ(b.active, lights > 0);
        EXPECT_EQ(p.spotlight[2]->IsActive(), lights > 0);
    }
    put(v, offset(edge, 0, 0, 1e-6));  // just below: night
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_lights), 1.0);
    put(v, day_pos);
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_lights), 0.0);
    EXPECT_FALSE(p.beacon[0].active);
    EXPECT_FALSE(p.spotlight[0]->IsActive());

    put(v, night_pos);
    p.lights_off = 1;  // dark pad at night, beacons still warn
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_lights), 0.0);
    EXPECT_FALSE(p.spotlight[1]->IsActive());
    EXPECT_TRUE(p.beacon[3].active);
}

TEST_F(PadTest, TheVentIsHeldAboveOneHundredTimesAndComesBackAtOneHundred) {
    sim::Vessel* v = add_pad();
    b_tvm58& p = pad_of(v);
    v->iface->SetThrusterLevel(p.th_vent, 1.0);
    world->clock.time_accel = std::nextafter(100.0, 1000.0);
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_vent), 0.0);
    EXPECT_EQ(p.vent_held, 1);
    // Switched on by key while held: lasts until the next frame.
    EXPECT_EQ(sim::deliver_key(*v, OAPI_KEY_V, true, nullptr), 1);
    EXPECT_EQ(level(v, p.th_vent), 1.0);
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_vent), 0.0);
    EXPECT_EQ(p.vent_held, 1);
    world->clock.time_accel = 100.0;
    frame(v, 0.02);
    EXPECT_EQ(level(v, p.th_vent), 1.0);
    EXPECT_EQ(p.vent_held, 0);
}

TEST_F(PadTest, KeysActOnPressWithControlButNotWithShift) {
    sim::Vessel* v = add_pad();
    b_tvm58& p = pad_of(v);
    auto press = [&](const char* text, bool down = true) {
        sim::KeyPress k;
        EXPECT_TRUE(sim::parse_key(text, k)) << text;
        auto state = sim::keyboard_state(k);
        return sim::deliver_key(*v, k.code, down, state.data());
    };
    EXPECT_EQ(press("K"), 1);
    EXPECT_EQ(p.lights_off, 1);
    EXPECT_EQ(press("Ctrl+K"), 1);
    EXPECT_EQ(p.lights_off, 0);
    EXPECT_EQ(press("K", false), 0);  // release
    EXPECT_EQ(press("Shift+K"), 0);
    EXPECT_EQ(p.lights_off, 0);
    p.lights_off = 4;  // not a switch state: stays
    EXPECT_EQ(press("K"), 1);
    EXPECT_EQ(p.lights_off, 4);

    for (double before : {0.0, 0.5, 1.0}) {
        v->iface->SetThrusterLevel(p.th_vent, before);
        EXPECT_EQ(press("Alt+V"), 1);
        EXPECT_EQ(level(v, p.th_vent), before < 1 ? 1.0 : 0.0) << before;
    }
    EXPECT_EQ(press("Shift+V"), 0);
    EXPECT_EQ(press("J"), 0);
    char right_shift[OAPI_KEY_STATE_SIZE] = {};
    right_shift[OAPI_KEY_RSHIFT] = static_cast<char>(0x80);
    EXPECT_EQ(sim::deliver_key(*v, OAPI_KEY_K, true, right_shift), 0);
}

TEST(PadScenarioLine, ReadsWhatItCanAndKeepsTheRest) {
    const struct {
        const char* value;
        int status;
        double state;
    } cases[] = {
        {" 3 0.5", 3, 0.5},
        {" 1 1.0000", 1, 1.0},
        {" 2", 2, 0.25},                // state missing: kept
        {"", 9, 0.25},                  // nothing: both kept
        {"RELLA 1 1", 9, 0.25},         // a longer word: nothing reads
        {" x 0.5", 9, 0.25},            // status unreadable: reading stops
        {" 1 nan", 1, 0.25},            // not a number: kept
        {" 1 -inf", 1, 0.25},           //
        {" 99999999999 0.5", 9, 0.25},  // no int holds it
        {" -7 1.5", -7, 1.5},           // taken as it stands
    };
    for (const auto& c : cases) {
        int status = 9;
        double state = 0.25;
        read_umbilical_line(c.value, status, state);
        EXPECT_EQ(status, c.status) << "'" << c.value << "'";
        EXPECT_EQ(state, c.state) << "'" << c.value << "'";
    }
}
