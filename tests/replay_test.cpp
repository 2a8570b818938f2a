// The replay's recording: where the animations put the mesh groups (the lander's and the pad's
// own definitions, worked out by hand), the mesh files it reads and refuses, and what a recording
// holds and drops under its size limit, with meshes missing, malformed or never declared.
#include "sim/replay.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

#include "lander/quor_tevlan.h"
#include "launchpad/b_tvm58.h"
#include "sim/animation_pose.h"
#include "sim/mesh_obj.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

constexpr double deg = std::numbers::pi / 180.0;

const sim::Affine* pose_of(const std::vector<sim::GroupPose>& poses, unsigned group) {
    for (const auto& p : poses)
        if (p.mesh == 0 && p.group == group)
            return &p.pose;
    return nullptr;
}

void expect_near(const VECTOR3& a, const VECTOR3& b, double tol = 1e-5) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// A rotation about +y by a: x goes to (cos a, 0, -sin a), z to (sin a, 0, cos a).
void expect_y_rotation(const MATRIX3& r, double a) {
    const double c = std::cos(a), s = std::sin(a);
    const double want[9] = {c, 0, s, 0, 1, 0, -s, 0, c};
    const double got[9] = {r.m11, r.m12, r.m13, r.m21, r.m22, r.m23, r.m31, r.m32, r.m33};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(got[i], want[i], 2e-6) << "element " << i;
}

class ReplayPoseTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        world->register_builtin_module(
            "quor_tevlan", [](OBJHANDLE h, int f) -> VESSEL* { return new quor_tevlan(h, f); },
            [](VESSEL* v) { delete static_cast<quor_tevlan*>(v); });
        world->register_builtin_module(
            "b_tvm58", [](OBJHANDLE h, int f) -> VESSEL* { return new b_tvm58(h, f); },
            [](VESSEL* v) { delete static_cast<b_tvm58*>(v); });
        register_test_vessel(*world);
    }
};

}  // namespace

TEST_F(ReplayPoseTest, PadArmsTurnAboutTheirHingesAndStopAtAQuarterOfTheTravel) {
    sim::Vessel* pad = create("Pad", "b_tvm58");
    const UINT anim = static_cast<b_tvm58*>(pad->iface)->anim_umb;
    const VECTOR3 hinge{5.578, 1.382, 39.451};
    const VECTOR3 axis{-0.17365, 0.98481, 0};
    const VECTOR3 out{0.98481, 0.17365, 0};  // square to the axis, in the ground plane
    pad->iface->SetAnimation(anim, 0.0);
    auto poses = sim::pose_groups(*pad);
    ASSERT_NE(pose_of(poses, 25), nullptr);
    expect_near(sim::apply(*pose_of(poses, 25), hinge + out), hinge + out);
    // Half way through the arms' range: -45 degrees; at its end and beyond: -90 degrees, the
    // hinge and its axis fixed, a point beside the hinge turned from +out up to +z.
    pad->iface->SetAnimation(anim, 0.125);
    poses = sim::pose_groups(*pad);
    expect_near(sim::apply(*pose_of(poses, 25), hinge + out),
                hinge + out * std::cos(45 * deg) + VECTOR3{0, 0, std::sin(45 * deg)});
    for (double state : {0.25, 1.0}) {
        pad->iface->SetAnimation(anim, state);
        poses = sim::pose_groups(*pad);
        expect_near(sim::apply(*pose_of(poses, 25), hinge), hinge);
        expect_near(sim::apply(*pose_of(poses, 25), hinge + axis), hinge + axis);
        expect_near(sim::apply(*pose_of(poses, 25), hinge + out), hinge + VECTOR3{0, 0, 1});
    }
    EXPECT_EQ(pose_of(poses, 24), nullptr);  // an unanimated group has no pose
}

TEST_F(ReplayPoseTest, LanderChildrenFollowTheirParentsAndLaterComponentsComeLast) {
    sim::Vessel* lander = create("QT", "quor_tevlan");
    const quor_tevlan& q = *static_cast<quor_tevlan*>(lander->iface);
    // High-gain antenna at 0.8: the boom (19) has turned -76 degrees about y through its
    // point; the arm (1, child of the boom) turned with it, its own point carried along; the
    // dish (6, grandchild) turned -76 + 165 - 90 = -1 degrees; the last component not begun.
    lander->iface->SetAnimation(q.anim_ant, 0.8);
    auto poses = sim::pose_groups(*lander);
    const VECTOR3 boom{0.557, -0.68, 0.273}, arm{0.85, -0.653, 0.346};
    expect_near(sim::apply(*pose_of(poses, 19), boom + VECTOR3{1, 0, 0}),
                boom + VECTOR3{std::cos(-76 * deg), 0, -std::sin(-76 * deg)});
    const VECTOR3 d = arm - boom;
    expect_near(sim::apply(*pose_of(poses, 1), arm),
                boom + VECTOR3{std::cos(-76 * deg) * d.x + std::sin(-76 * deg) * d.z, d.y,
                               -std::sin(-76 * deg) * d.x + std::cos(-76 * deg) * d.z});
    expect_y_rotation(pose_of(poses, 6)->r, -1 * deg);
    // At 1 the last component adds its -45 degrees about its own point.
    lander->iface->SetAnimation(q.anim_ant, 1.0);
    poses = sim::pose_groups(*lander);
    expect_y_rotation(pose_of(poses, 6)->r, -46 * deg);
    expect_y_rotation(pose_of(poses, 19)->r, -76 * deg);

    // Sampling arm: the translations act after the rotations, along the vessel's axes; the
    // tube (26) and the scoop's mount (27, rotations only) differ by the shifts done so far.
    for (auto [state, shift] :
         {std::pair{0.7, VECTOR3{0, 0, 0}}, std::pair{0.85, VECTOR3{0, 0.14, -0.28}},
          std::pair{1.0, VECTOR3{0, 0.328, -0.66}}}) {
        lander->iface->SetAnimation(q.anim_arm, state);
        poses = sim::pose_groups(*lander);
        expect_near(pose_of(poses, 26)->t - pose_of(poses, 27)->t, shift);
    }
}

TEST_F(ReplayPoseTest, ScalingIsAboutItsReferencePointByThePartOfItsTravel) {
    static const UINT group[] = {3};
    static MGROUP_SCALE grow(0, group, 1, _V(1, 0, 0), _V(3, 1, 0.5));
    set_next_test_vessel_setup([](test_vessel& t) {
        UINT anim = t.CreateAnimation(0.0);
        t.AddAnimationComponent(anim, 0.2, 0.6, &grow);
        t.SetAnimation(anim, 0.4);
    });
    sim::Vessel* v = create("Grower", "test_vessel");
    auto poses = sim::pose_groups(*v);
    ASSERT_NE(pose_of(poses, 3), nullptr);
    // Half its travel: factors 2, 1 and 0.75 about (1, 0, 0).
    expect_near(sim::apply(*pose_of(poses, 3), {2, 1, 4}), {3, 1, 3});
    expect_near(sim::apply(*pose_of(poses, 3), {1, 0, 0}), {1, 0, 0});
}

TEST(MeshFiles, GroupsInOrderWithTheirOwnVerticesAndPolygonsAsFans) {
    const std::string obj =
        "# two groups\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 5 5 5\n"
        "g first\nusemtl rgb_ff0000\nf 1 2 3 4\n"
        "g empty\n"
        "g last\nf 5/1/1 -4//2 -3\n";
    sim::MeshGeometry g;
    std::string error;
    ASSERT_TRUE(sim::parse_obj(obj, g, error)) << error;
    ASSERT_EQ(g.groups.size(), 3u);
    EXPECT_EQ(g.groups[0].name, "first");
    EXPECT_EQ(g.groups[0].material, "rgb_ff0000");
    EXPECT_EQ(g.groups[0].triangles, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_TRUE(g.groups[1].triangles.empty());
    // The last group's corners: vertices 5, 2 and 3 of the file, renumbered 0, 1, 2.
    EXPECT_EQ(g.groups[2].positions, (std::vector<float>{5, 5, 5, 1, 0, 0, 1, 1, 0}));
    EXPECT_EQ(g.groups[2].triangles, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST(MeshFiles, MalformedFilesAreRefusedWithTheirLine) {
    const std::pair<const char*, const char*> bad[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "line 4: a face before the first group"},
        {"g a\nv 0 0 zero\n", "line 2: a vertex needs three numbers"},
        {"g a\nv 0 0\n", "line 2: a vertex needs three numbers"},
        {"g a\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n", "line 5: face corner \"4\" names no vertex"},
        {"g a\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -4\n", "line 5: face corner \"-4\""},
        {"g a\nv 0 0 0\nv 1 0 0\nf 1 2\n", "line 4: a face needs three corners"},
        {"v 0 0 1e999\n", "line 1: a vertex needs three numbers"},
        {"# nothing\n", "no group"},
    };
    for (auto [text, why] : bad) {
        sim::MeshGeometry g;
        std::string error;
        EXPECT_FALSE(sim::parse_obj(text, g, error)) << text;
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_TRUE(g.groups.empty());
    }
    // The boundary of the corner check: the last vertex read is still a corner.
    sim::MeshGeometry g;
    std::string error;
    EXPECT_TRUE(sim::parse_obj("g a\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf -1 -2 -3\n", g, error));
}

TEST(MeshFiles, NamesStayInsideTheMeshesFolder) {
    EXPECT_EQ(sim::mesh_file("m", "TevlanQuor\\tevlanlander"), "m/TevlanQuor/tevlanlander.obj");
    EXPECT_EQ(sim::mesh_file("m", "a..b/c"), "m/a..b/c.obj");
    for (const char* name : {"", "/etc/passwd", "../x", "a/../../x", "a\\..\\x", ".."})
        EXPECT_EQ(sim::mesh_file("m", name), "") << name;
}

namespace {

class ReplayRecordingTest : public ReplayPoseTest {
  protected:
    sim::ReplayOptions options() {
        sim::ReplayOptions o;
        o.mesh_folders.push_back(std::string(VESSELSIM_SOURCE_DIR) + "/meshes");
        return o;
    }
    // A lander far out in space, an astronomical unit from the Sun.
    void add_lander() {
        sim::Vessel* v = create("QT", "quor_tevlan");
        v->state.ref = nullptr;
        v->state.rpos = {1.496e11, 0, 0};
    }
    // Frames of 0.02 s for a simulated second, with a forced sample at 0.5 s, into each
    // recorder.
    void fly(std::vector<sim::ReplayRecorder*> rs) {
        for (auto* r : rs) r->sample(*world, true);
        for (int i = 0; i < 50; ++i) {
            world->step(0.02);
            for (auto* r : rs) r->sample(*world, i == 24);
        }
    }
};

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++n;
    return n;
}

}  // namespace

TEST_F(ReplayRecordingTest, ThirtySamplesASecondWithTheMeshesAndEveryForcedSample) {
    add_lander();
    sim::ReplayRecorder r(options());
    fly({&r});
    std::vector<std::string> warnings;
    const std::string json = r.json(warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    // 0, every 1/30 s on the frame that reaches it (frames of 0.02 s: every other or third),
    // and the forced one.
    EXPECT_GE(r.sample_count(), 31u);
    EXPECT_LE(r.sample_count(), 33u);
    EXPECT_EQ(count(json, "{\"t\":"), r.sample_count());
    EXPECT_NE(json.find("{\"t\":0.5,"), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"TevlanQuor/tevlanlander\""), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"hga_dish\""), std::string::npos);
    EXPECT_EQ(count(json, "\"type\":\"rotate\""), 14u);
    EXPECT_EQ(count(json, "\"type\":\"translate\""), 5u);
    EXPECT_EQ(json.find('<'), std::string::npos);
}

TEST_F(ReplayRecordingTest, PastItsLimitTheRecordingKeepsFewerSamplesAndSaysSo) {
    add_lander();
    sim::ReplayRecorder r(options());
    fly({&r});
    std::vector<std::string> warnings;
    const std::string whole = r.json(warnings);
    // Exactly at the limit nothing is dropped.
    r.set_max_bytes(whole.size());
    EXPECT_EQ(r.json(warnings), whole);
    EXPECT_TRUE(warnings.empty());
    // A byte less: thinned, under the limit, the forced sample and the last kept.
    r.set_max_bytes(whole.size() - 1);
    const std::string json = r.json(warnings);
    EXPECT_LE(json.size(), whole.size() - 1);
    EXPECT_LT(count(json, "{\"t\":"), r.sample_count());
    EXPECT_NE(json.find("{\"t\":0.5,"), std::string::npos);
    EXPECT_NE(json.find("{\"t\":1,"), std::string::npos);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("15 samples per simulated second"), std::string::npos)
        << warnings[0];
    EXPECT_NE(json.find("\"notes\":[\"the recording would exceed"), std::string::npos);
}

// A module that switches something every frame asks for every frame's sample and an event
// each time: past the limit those are thinned too, and the page stays within it.
TEST_F(ReplayRecordingTest, EveryFrameKeptByEventsIsStillBoundedByTheLimit) {
    add_lander();
    sim::ReplayRecorder r(options());
    r.sample(*world, true);
    for (int i = 0; i < 500; ++i) {
        world->step(0.02);
        r.sample(*world, true);
        r.event(world->clock.t_s, "thruster", "thrusters lit: pulse " + std::to_string(i));
    }
    std::vector<std::string> warnings;
    const std::size_t whole = r.json(warnings).size();
    ASSERT_TRUE(warnings.empty());
    // The declarations alone take about 22 kB: a limit a little above them.
    for (std::size_t limit : {whole / 2, std::size_t(30000)}) {
        SCOPED_TRACE(limit);
        r.set_max_bytes(limit);
        warnings.clear();
        const std::string json = r.json(warnings);
        EXPECT_LE(json.size(), limit);
        EXPECT_NE(json.find("{\"t\":10,"), std::string::npos) << "the last sample stays";
        EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
            return w.find("one event frame in") != std::string::npos;
        }));
        // Every sample's HUD picture is one the page holds.
        const std::size_t huds =
            count(json.substr(json.find("\"huds\":["),
                              json.find("],\"events\"") - json.find("\"huds\":[")),
                  "[[");
        EXPECT_EQ(json.find("\"hud\":" + std::to_string(huds) + ","), std::string::npos);
    }
}

TEST_F(ReplayRecordingTest, MissingMalformedAndNoMeshesAreRecordedForTheFallbackWithWarnings) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("replay_meshes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "bad");
    std::ofstream(folder / "bad" / "broken.obj") << "g a\nv 0 0 0\nf 1 2 3\n";
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetSize(4);
        t.AddMesh("bad/broken");
        t.AddMesh("no/such");
    });
    create("Odd", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& t) { t.SetSize(2); });
    create("Bare", "test_vessel");
    sim::ReplayOptions o;
    o.mesh_folders.push_back(folder.string());
    sim::ReplayRecorder r(o);
    fly({&r});
    std::vector<std::string> warnings;
    const std::string json = r.json(warnings);
    std::filesystem::remove_all(folder);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("broken.obj of test_vessel: line 3: face corner"), std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[1].find("mesh \"no/such\" of test_vessel: no file"), std::string::npos)
        << warnings[1];
    EXPECT_EQ(warnings[2],
              "test_vessel declares no mesh; Bare is drawn from its size and touchdown points");
    EXPECT_EQ(count(json, "\"groups\":null"), 2u);
    EXPECT_NE(json.find("\"name\":\"Bare\",\"class\":\"test_vessel\",\"size\":2,"
                        "\"touchdown\":[],\"meshes\":[]"),
              std::string::npos);
    EXPECT_NE(json.find("\"mesh_warnings\":[\"mesh "), std::string::npos);
}

// The viewer's script goes into the page whole: a "</script" inside it (three.js has some) is
// written "<\/script" so that it cannot end the page's script element early.
TEST(ReplayPage, TheViewerScriptCannotCloseItsElement) {
    const std::string dir = ::testing::TempDir();
    const std::string script = dir + "viewer_" + std::to_string(getpid()) + ".js";
    const std::string page_path = dir + "page_" + std::to_string(getpid()) + ".html";
    std::ofstream(script) << "a = \"</script>\"; b = '</scripts'; c = '</div>';";
    std::string error;
    ASSERT_TRUE(sim::write_replay_page(page_path, "{}", script, error)) << error;
    std::ifstream in(page_path);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("<script>a = \"<\\/script>\"; b = '<\\/scripts'; c = '</div>';</script>"),
              std::string::npos)
        << page;
    EXPECT_EQ(count(page, "</script"), 2u) << "the recording's element and the script's own";
    std::remove(script.c_str());
    std::remove(page_path.c_str());
}

// A flare without a place of its own sits at its thruster and points against its thrust; one
// placed by its module keeps its place and direction.
TEST_F(ReplayRecordingTest, FlaresPointAgainstTheThrustUnlessPlaced) {
    register_test_vessel(*world);
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(100);
        THRUSTER_HANDLE th = t.CreateThruster({0, 0, -2}, {0, 0.6, 0.8}, 1000, nullptr, 3000);
        t.AddExhaust(th, 4, 0.5);
        t.AddExhaust(th, 2, 0.25, {1, 0, 0}, {1, 0, 0});
    });
    sim::Vessel* v = create("F", "test_vessel");
    v->state.ref = nullptr;
    v->state.rpos = {1.496e11, 0, 0};
    sim::ReplayRecorder r(options());
    r.sample(*world, true);
    std::vector<std::string> warnings;
    const std::string json = r.json(warnings);
    EXPECT_NE(json.find("\"flares\":[{\"thruster\":0,\"pos\":[0,0,-2],\"dir\":[0,-0.6,-0.8],"
                        "\"length\":4,\"width\":0.5},{\"thruster\":0,\"pos\":[1,0,0],\"dir\":[1,0,"
                        "0],\"length\":2,\"width\":0.25}]"),
              std::string::npos)
        << json.substr(json.find("\"flares\""), 200);
}
