// The lander's keyboard commands and its two camera views.
#include <array>
#include <string>
#include <vector>

#include "host/keys.h"
#include "sim/keyboard.h"
#include "support/lander_setup_support.h"

namespace {

using lander_setup::ptr_text;

enum Mod : unsigned {
    none = 0,
    lctrl = 1,
    rctrl = 2,
    lshift = 4,
    rshift = 8,
    lalt = 16,
    ralt = 32
};

std::array<char, 256> held(unsigned mods, DWORD key) {
    std::array<char, 256> k{};
    const std::pair<Mod, DWORD> codes[] = {
        {lctrl, OAPI_KEY_LCONTROL}, {rctrl, OAPI_KEY_RCONTROL}, {lshift, OAPI_KEY_LSHIFT},
        {rshift, OAPI_KEY_RSHIFT},  {lalt, OAPI_KEY_LALT},      {ralt, OAPI_KEY_RALT},
    };
    for (auto [m, code] : codes)
        if (mods & m)
            k[code] = static_cast<char>(0x80);
    if (key < k.size())
        k[key] = static_cast<char>(0x80);
    return k;
}

// What the keys may change.
struct Commanded {
    int arm, leg, ant, met, autopilot, camera;
    bool operator==(const Commanded&) const = default;
};

Commanded commanded(const quor_tevlan& l) {
    return {l.arm_status, l.leg_status,      l.ant_status,
            l.met_status, l.autopilot_phase, l.camera_view};
}

std::ostream& operator<<(std::ostream& os, const Commanded& c) {
    return os << "arm " << c.arm << " leg " << c.leg << " ant " << c.ant << " met " << c.met
              << " autopilot " << c.autopilot << " camera " << c.camera;
}

constexpr DWORD key_a = 0x1E;
constexpr DWORD beyond_keyboard = 0x1234;  // no byte of the keyboard state

}  // namespace

class LanderKeysTest : public LanderSetupTest {
  protected:
    void SetUp() override {
        LanderSetupTest::SetUp();
        v = create("Lander", "quor_tevlan");
        l = lander_of(v);
    }
    int press(DWORD key, unsigned mods, bool down = true) {
        auto k = held(mods, key);
        return sim::deliver_key(*v, key, down, k.data());
    }
    sim::Vessel* v = nullptr;
    quor_tevlan* l = nullptr;
};

TEST_F(LanderKeysTest, CommandTable) {
    const Commanded fresh = commanded(*l);  // arm 0, leg 2, ant 0, met 0, autopilot 0, camera 0
    const DWORD all_keys[] = {OAPI_KEY_U, OAPI_KEY_G, OAPI_KEY_J, OAPI_KEY_K,
                              OAPI_KEY_P, OAPI_KEY_C, key_a,      beyond_keyboard};

    // Releases do nothing, and Alt swallows every press, with any other modifier.
    for (unsigned mods = 0; mods < 64; ++mods)
        for (DWORD key : all_keys) {
            SCOPED_TRACE("key " + std::to_string(key) + " mods " + std::to_string(mods));
            EXPECT_EQ(press(key, mods, false), 0);
            EXPECT_EQ(commanded(*l), fresh);
            if (mods & (lalt | ralt)) {
                EXPECT_EQ(press(key, mods), 1);
                EXPECT_EQ(commanded(*l), fresh);
            }
        }

    struct Row {
        DWORD key;
        unsigned mods;
        int result;
        Commanded after;
    };
    auto with = [&](auto field, int value) {
        Commanded c = fresh;
        c.*field = value;
        return c;
    };
    const Row rows[] = {
        {OAPI_KEY_U, lctrl, 1, with(&Commanded::arm, 1)},
        {OAPI_KEY_U, rctrl, 1, with(&Commanded::arm, 1)},
        {OAPI_KEY_G, lctrl, 1, with(&Commanded::leg, 3)},
        {OAPI_KEY_G, rctrl | lshift, 1, with(&Commanded::leg, 3)},
        {OAPI_KEY_J, lctrl | rshift, 1, with(&Commanded::ant, 1)},
        {OAPI_KEY_K, rctrl, 1, with(&Commanded::met, 1)},
        {OAPI_KEY_P, lctrl, 0, fresh},
        {OAPI_KEY_C, rctrl, 0, fresh},
        {key_a, lctrl, 0, fresh},
        {beyond_keyboard, lctrl | lshift, 0, fresh},
        {OAPI_KEY_P, lshift, 0, fresh},
        {OAPI_KEY_C, rshift, 0, fresh},
        {OAPI_KEY_G, lshift, 0, fresh},
        {OAPI_KEY_U, rshift, 0, fresh},
        {OAPI_KEY_P, none, 1, with(&Commanded::autopilot, -1)},
        {OAPI_KEY_C, none, 1, with(&Commanded::camera, 1)},
        {OAPI_KEY_U, none, 0, fresh},
        {OAPI_KEY_G, none, 0, fresh},
        {OAPI_KEY_J, none, 0, fresh},
        {OAPI_KEY_K, none, 0, fresh},
        {key_a, none, 0, fresh},
        {beyond_keyboard, none, 0, fresh},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("key " + std::to_string(r.key) + " mods " + std::to_string(r.mods));
        EXPECT_EQ(press(r.key, r.mods), r.result);
        EXPECT_EQ(commanded(*l), r.after);
        l->arm_status = fresh.arm;
        l->leg_status = fresh.leg;
        l->ant_status = fresh.ant;
        l->met_status = fresh.met;
        l->autopilot_phase = fresh.autopilot;
        l->camera_view = fresh.camera;
    }
}

TEST_F(LanderKeysTest, ToggleReversesAMotionAndStartsAMechanismAtRest) {
    const std::pair<int, int> rule[] = {{0, 1}, {1, 3}, {2, 3}, {3, 1}, {4, 1}, {-1, 1}, {99, 1}};
    for (auto [before, after] : rule) {
        l->arm_status = before;
        l->arm_state = 0.4;
        EXPECT_EQ(press(OAPI_KEY_U, lctrl), 1);
        EXPECT_EQ(l->arm_status, after) << "from " << before;
        EXPECT_EQ(l->arm_state, 0.4);  // the state moves only frame by frame
    }
}

TEST_F(LanderKeysTest, AutopilotKeyRearmsRatherThanResumingThePhaseLeft) {
    for (int phase : {1, 2}) {
        l->autopilot_phase = phase;
        EXPECT_EQ(press(OAPI_KEY_P, none), 1);
        EXPECT_EQ(l->autopilot_phase, -1);
        EXPECT_EQ(press(OAPI_KEY_P, none), 1);
        EXPECT_EQ(l->autopilot_phase, 0);
    }
}

TEST_F(LanderKeysTest, MissingKeyboardStateCountsAsNoKeyHeld) {
    EXPECT_EQ(l->clbkKeyEvent(OAPI_KEY_P, true, nullptr), 1);
    EXPECT_EQ(l->autopilot_phase, -1);
    EXPECT_EQ(l->clbkKeyEvent(OAPI_KEY_U, true, nullptr), 0);  // no Ctrl held
    EXPECT_EQ(l->arm_status, 0);
    EXPECT_EQ(l->clbkKeyEvent(0xFFFFFFFFu, true, nullptr), 0);
    EXPECT_EQ(l->clbkKeyEvent(OAPI_KEY_P, false, nullptr), 0);
    EXPECT_EQ(l->autopilot_phase, -1);
}

TEST_F(LanderKeysTest, CameraKeySwitchesBetweenTheTwoViews) {
    v->trace.enabled = true;
    const std::string self = ptr_text(v->handle());

    EXPECT_EQ(press(OAPI_KEY_C, none), 1);
    EXPECT_EQ(l->camera_view, 1);
    EXPECT_EQ(v->camera.offset.x, 1.9);
    EXPECT_EQ(v->camera.offset.y, 0.2);
    EXPECT_EQ(v->camera.offset.z, 0.2);
    EXPECT_EQ(v->camera.direction.x, 0.19534752714915396);
    EXPECT_EQ(v->camera.direction.y, 0.6934837213794965);
    EXPECT_EQ(v->camera.direction.z, -0.6934837213794965);
    EXPECT_EQ(v->camera.tilt_rad, 0.30019663134302466);

    EXPECT_EQ(press(OAPI_KEY_C, none), 1);
    EXPECT_EQ(l->camera_view, 0);
    EXPECT_EQ(v->camera.offset.y, 0.8);
    EXPECT_EQ(v->camera.offset.z, 1.0);
    EXPECT_EQ(v->camera.direction.y, 1.0);
    EXPECT_EQ(v->camera.tilt_rad, 3.141592653589793);

    // Each press sets both camera settings again and attaches the camera, keeping its mode.
    const std::vector<std::string> one_view = {"SetCameraOffset", "SetCameraDefaultDirection",
                                               "oapiCameraAttach"};
    std::vector<std::string> both = one_view;
    both.insert(both.end(), one_view.begin(), one_view.end());
    EXPECT_EQ(v->trace.ops(), both);
    for (const auto& e : v->trace.of("oapiCameraAttach")) EXPECT_EQ(e.args, self + ", 2");
    EXPECT_EQ(world->camera.target, v);
    EXPECT_EQ(world->camera.mode, CAMERA_MODE_EXTERNAL);

    // Any camera_view other than 1 shows the standard view.
    l->camera_view = 7;
    l->select_camera_view();
    EXPECT_EQ(v->camera.offset.z, 1.0);
    EXPECT_EQ(v->camera.tilt_rad, 3.141592653589793);
}
