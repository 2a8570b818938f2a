// The replay page in a real browser (headless chromium, WebGL drawn in software): the group
// transforms the page works out against the stand-in's own for the same moments of a run, the
// pad's arms before and after the launch, the lander's gear folded and then down, every sample
// of the recording read back by the page, and a night picture of the pad with its lights on and
// off. Skipped where no chromium is installed.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "apps/run/replay_output.h"
#include "sim/animation_pose.h"
#include "sim/keyboard.h"
#include "sim/replay.h"
#include "sim/scenario.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string chromium() {
    for (const char* p : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (fs::exists(p))
            return p;
    return "";
}

// One group's transform: 9 rotation elements and 3 of translation.
using Transform = std::array<double, 12>;
// By time, then "VESSEL MESH GROUP".
using Poses = std::map<std::string, std::map<std::string, Transform>>;

std::string time_key(double t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", t);
    return buf;
}

void add_poses(Poses& poses, const std::string& at, const sim::World& w) {
    for (const auto& v : w.vessels())
        for (const sim::GroupPose& g : sim::pose_groups(*v)) {
            const MATRIX3& r = g.pose.r;
            poses[at][v->name() + " " + std::to_string(g.mesh) + " " + std::to_string(g.group)] = {
                r.m11, r.m12, r.m13, r.m21,      r.m22,      r.m23,
                r.m31, r.m32, r.m33, g.pose.t.x, g.pose.t.y, g.pose.t.z};
        }
}

bool identity(const Transform& m) {
    const Transform id{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        if (std::abs(m[i] - id[i]) > 1e-6)
            return false;
    return true;
}

class ReplayInBrowser : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        if (chromium().empty())
            GTEST_SKIP() << "no chromium";
        if (!fs::exists(app::viewer_script_path()))
            GTEST_SKIP() << "the viewer is not built (no npm)";
        folder_ = fs::temp_directory_path() / ("replay_browser_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (!folder_.empty())
            fs::remove_all(folder_);
        WorldTest::TearDown();
    }

    struct Key {
        double t;
        std::string vessel;
        std::string key;  // as typed: "Ctrl+J"
    };

    // Flies a scenario in frames of 0.02 s to `until`, with keys pressed on their frames,
    // records the replay and writes its page; the stand-in's poses at the times asked for.
    Poses fly(const std::string& scenario, double until, const std::vector<double>& at,
              const std::vector<Key>& keys, const std::string& page) {
        std::string error;
        EXPECT_TRUE(sim::load_scenario(
            *world, std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/" + scenario, error))
            << error;
        sim::ReplayRecorder rec(app::replay_options());
        Poses poses;
        rec.sample(*world, true);
        std::size_t next_key = 0;
        for (int frame = 1; world->clock.t_s < until - 1e-9; ++frame) {
            while (next_key < keys.size() && keys[next_key].t <= world->clock.t_s + 1e-9) {
                sim::Vessel* v = world->vessel(keys[next_key].vessel);
                sim::KeyPress k;
                EXPECT_TRUE(sim::parse_key(keys[next_key].key, k));
                auto state = sim::keyboard_state(k);
                sim::deliver_key(*v, k.code, true, state.data());
                ++next_key;
            }
            world->step(0.02);
            rec.sample(*world, false);
            for (double t : at)
                if (std::abs(world->clock.t_s - t) < 1e-6) {
                    rec.sample(*world, true);
                    add_poses(poses, time_key(t), *world);
                }
        }
        for (double t : at)
            if (t == 0)
                ADD_FAILURE() << "time 0 is taken before the first frame";
        samples_ = rec.sample_count();
        std::ostringstream warnings;
        EXPECT_TRUE(app::write_replay(rec, (folder_ / page).string(), warnings, error)) << error;
        EXPECT_EQ(warnings.str(), "");
        return poses;
    }

    // The page's text of its transforms at the given times.
    std::string dump(const std::string& page, const std::string& times) {
        const fs::path out = folder_ / (page + ".dom");
        run("--dump-dom 'file://" + (folder_ / page).string() + "?ui=0&dump=" + times + "' > '" +
            out.string() + "'");
        std::ifstream in(out);
        std::stringstream s;
        s << in.rdbuf();
        const std::string dom = s.str();
        ready_ = dom.find("data-ready=\"1\"") != std::string::npos;
        vessel_dump_ = element_text(dom, "vessel-dump");
        return element_text(dom, "group-transforms");
    }
    static std::string element_text(const std::string& dom, const std::string& id) {
        const std::size_t start = dom.find("<pre id=\"" + id + "\"");
        if (start == std::string::npos)
            return "";
        const std::size_t text = dom.find('>', start) + 1;
        return dom.substr(text, dom.find("</pre>", text) - text);
    }
    // The page's line "T NAME clearance_m C meshes I,J,..." for a vessel at a time.
    struct Drawn {
        double clearance_m = NAN;
        std::string meshes;
    };
    Drawn drawn(const std::string& name, const std::string& t) const {
        std::istringstream lines(vessel_dump_);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string at, vessel, word;
            Drawn d;
            words >> at >> vessel >> word >> d.clearance_m >> word >> d.meshes;
            if (at == t && vessel == name)
                return d;
        }
        ADD_FAILURE() << "no line for " << name << " at " << t << " in\n" << vessel_dump_;
        return {};
    }

    // Pixels of a screenshot of the page at time t that are lit warm white.
    int lit_pixels(const std::string& page, double t) {
        const fs::path png = folder_ / (page + time_key(t) + ".png");
        run("--window-size=640,480 --screenshot='" + png.string() + "' 'file://" +
            (folder_ / page).string() + "?ui=0&t=" + time_key(t) + "'");
        cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
        if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(s);
            ADD_FAILURE() << "no screenshot " << png;
            return -1;
        }
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        int lit = 0;
        for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
            for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
                const unsigned char* p = data + y * stride + 4 * x;  // B, G, R, A
                if (p[2] > 200 && p[1] > 170 && p[0] > 120)
                    ++lit;
            }
        cairo_surface_destroy(s);
        return lit;
    }

    void run(const std::string& args) {
        const std::string cmd = "timeout 60 " + chromium() +
                                " --headless --no-sandbox --enable-unsafe-swiftshader "
                                "--window-size=800,600 " +
                                args + " 2>/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }

    // Each group of the stand-in against the page's, and no group of the page's own.
    void expect_same(const Poses& expected, const std::string& page_text) {
        Poses got;
        std::istringstream lines(page_text);
        std::string line, at;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string first;
            words >> first;
            if (first == "time") {
                double t;
                words >> t;
                at = time_key(t);
            } else if (first != "samples") {
                std::string mesh, group;
                Transform m{};
                words >> mesh >> group;
                for (double& x : m) words >> x;
                got[at][first + " " + mesh + " " + group] = m;
            }
        }
        for (const auto& [t, groups] : expected) {
            ASSERT_EQ(got[t].size(), groups.size()) << "groups at " << t;
            for (const auto& [name, m] : groups) {
                ASSERT_TRUE(got[t].count(name)) << name << " at " << t;
                for (int i = 0; i < 12; ++i)
                    EXPECT_NEAR(got[t][name][i], m[i], i < 9 ? 1e-4 : 1e-3)
                        << name << " at " << t << ", element " << i;
            }
        }
    }

    fs::path folder_;
    std::string vessel_dump_;
    std::size_t samples_ = 0;
    bool ready_ = false;  // the last page dumped drew its first picture
};

}  // namespace

TEST_F(ReplayInBrowser, PadArmsSwingAwayAtTheLaunchAsTheStandInPosesThem) {
    const Poses poses = fly("pad_launch.scn", 12, {0.02, 12}, {}, "pad.html");
    const std::string text = dump("pad.html", "0.02,12");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(0, text.find('\n')), "samples " + std::to_string(samples_) + " 0 12");
    expect_same(poses, text);
    // At the rocket before the launch, swung away after it.
    EXPECT_TRUE(identity(poses.at("0.0200").at("Pad 0 25")));
    EXPECT_FALSE(identity(poses.at("12.0000").at("Pad 0 25")));
    EXPECT_NEAR(poses.at("12.0000").at("Pad 0 27")[8], 0.0, 1e-6);  // a quarter turn
}

TEST_F(ReplayInBrowser, TheLandersGearFoldsAndItLandsOnTheDrawnGroundAfterTheShieldIsDropped) {
    // After the landing (107.5 s) the antenna, the arm and the mast go out from 110.5 s: at
    // 128 s the antenna and the arm are at 0.875 (the antenna's last turn and the arm's last
    // translation under way), the mast is up.
    const Poses poses =
        fly("mars_descent.scn", 128, {0.02, 110, 128},
            {{110.5, "Tevlan", "Ctrl+J"}, {110.5, "Tevlan", "Ctrl+U"}, {110.5, "Tevlan", "Ctrl+K"}},
            "mars.html");
    expect_same(poses, dump("mars.html", "0.02,20,110,128"));
    // Landed, the lander's feet rest on the drawn ground of the curved planet; the carrier's
    // heat shield (its mesh 1), dropped at 21.7 s, is no longer drawn.
    for (const char* t : {"110", "128"})
        EXPECT_NEAR(drawn("Tevlan", t).clearance_m, 0.0, 0.05) << t;
    EXPECT_GT(drawn("Tevlan", "20").clearance_m, 1000.0);
    EXPECT_EQ(drawn("Carrier", "20").meshes, "0,1");
    EXPECT_EQ(drawn("Carrier", "110").meshes, "0");
    for (const char* leg : {"Tevlan 0 20", "Tevlan 0 21", "Tevlan 0 22", "Tevlan 0 0"}) {
        EXPECT_FALSE(identity(poses.at("0.0200").at(leg))) << leg;
        EXPECT_TRUE(identity(poses.at("110.0000").at(leg))) << leg;
    }
    for (const char* part : {"Tevlan 0 6", "Tevlan 0 28", "Tevlan 0 3"}) {
        EXPECT_TRUE(identity(poses.at("110.0000").at(part))) << part;
        EXPECT_FALSE(identity(poses.at("128.0000").at(part))) << part;
    }
}

TEST_F(ReplayInBrowser, ANightPictureOfThePadShowsItsLightsUntilTheyAreSwitchedOff) {
    // K switches the pad's floodlights and flares off at 2 s; the rocket's engine starts at 5 s.
    fly("pad_launch.scn", 4.5, {}, {{2.0, "Pad", "K"}}, "night.html");
    const int on = lit_pixels("night.html", 1.5);
    const int off = lit_pixels("night.html", 4.0);
    EXPECT_GT(on, 200);
    EXPECT_GT(on, 3 * off + 100) << "lit pixels: " << on << " with the lights, " << off
                                 << " without";
}

TEST_F(ReplayInBrowser, AVesselWhoseMeshIsMissingIsDrawnWithItsAnimatedGroupsMarked) {
    // A vessel of a class with no mesh file: a sphere of its size, its feet, and a marker for
    // the group its animation turns, posed like the group.
    static const UINT group[] = {2};
    static MGROUP_ROTATE turn(0, group, 1, _V(0, 1, 0), _V(0, 0, 1), 1.5f);
    static MGROUP_TRANSLATE lift(0, group, 1, _V(0, 0.5, 0));
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(100);
        t.SetSize(2);
        t.AddMesh("nowhere/to_be_found");
        const UINT anim = t.CreateAnimation(0.0);
        ANIMATIONCOMPONENT_HANDLE parent = t.AddAnimationComponent(anim, 0, 0.5, &turn);
        t.AddAnimationComponent(anim, 0.5, 1, &lift, parent);
    });
    register_test_vessel(*world);
    sim::Vessel* v = create("Odd", "test_vessel");
    set_next_test_vessel_setup(nullptr);
    v->state.ref = nullptr;
    v->state.rpos = {1.496e11, 0, 0};
    double state = 0.0;
    as_test_vessel(v).before_step = [&state](test_vessel& t, double) {
        state = std::min(1.0, state + 0.02);
        t.SetAnimation(0, state);
    };
    sim::ReplayRecorder rec(app::replay_options());
    Poses poses;
    rec.sample(*world, true);
    for (int i = 0; i < 40; ++i) {
        world->step(0.02);
        rec.sample(*world, i == 34);
        if (i == 34)
            add_poses(poses, "0.7000", *world);
    }
    std::ostringstream warnings;
    std::string error;
    ASSERT_TRUE(app::write_replay(rec, (folder_ / "odd.html").string(), warnings, error)) << error;
    EXPECT_NE(warnings.str().find("mesh \"nowhere/to_be_found\" of test_vessel: no file"),
              std::string::npos)
        << warnings.str();
    expect_same(poses, dump("odd.html", "0.7"));
    EXPECT_TRUE(ready_);
}
