// The lander's configuration as the stand-in receives it: the calls of its class set-up in order,
// the thruster groups it drives, its mass, touchdown points and dust stream.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/lander_setup_support.h"

namespace {

using lander_setup::ptr_text;

struct Call {
    std::string op, args;
    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Call& c) {
    return os << c.op << "(" << c.args << ")";
}

// The trace with every handle written by the name of the field or texture it stands for.
std::vector<Call> named_calls(const sim::Trace& trace,
                              const std::map<std::string, std::string>& names) {
    std::vector<Call> out;
    for (const auto& e : trace.entries) {
        std::string args;
        std::size_t i = 0;
        while (i < e.args.size()) {
            if (e.args.compare(i, 2, "0x") != 0) {
                args += e.args[i++];
                continue;
            }
            std::size_t end = e.args.find_first_not_of("0123456789abcdefx", i);
            std::string handle = e.args.substr(i, end - i);
            auto n = names.find(handle);
            args += n != names.end() ? n->second : "ptr";
            i = end == std::string::npos ? e.args.size() : end;
        }
        out.push_back({e.op, args});
    }
    return out;
}

}  // namespace

TEST_F(LanderSetupTest, ClassSetupConfiguresTheLanderInOrderAfterItsAnimations) {
    world->trace_new_vessels = true;
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);

    std::map<std::string, std::string> names = {
        {ptr_text(l->engine_1), "engine_1"},     {ptr_text(l->engine_2), "engine_2"},
        {ptr_text(l->engine_3), "engine_3"},     {ptr_text(l->rcs_1), "rcs_1"},
        {ptr_text(l->rcs_2), "rcs_2"},           {ptr_text(l->rcs_3), "rcs_3"},
        {ptr_text(l->rcs_4), "rcs_4"},           {ptr_text(l->dust_thruster), "dust_thruster"},
        {ptr_text(l->propellant), "propellant"}, {ptr_text(l->group_list), "group_list"},
    };
    for (const auto& t : world->textures()) names[ptr_text(t.get())] = "texture " + t->name;
    std::vector<Call> calls = named_calls(v->trace, names);

    // The animations come first, and nothing else is called among them.
    std::size_t first = 0;
    while (first < calls.size() &&
           (calls[first].op == "CreateAnimation" || calls[first].op == "AddAnimationComponent"))
        ++first;
    EXPECT_EQ(first, 4u + animation_component_count);

    const std::string engine = ", (0, 0, 1), 2667, propellant, 2128, 0, 101400";
    const std::string rcs = ", 32, propellant, 2128, 0, 101400";
    const std::string exhaust_tex = ", texture exhaust2";
    const std::vector<Call> expected = {
        {"SetCW", "1, 1, 1, 1"},
        {"SetRotDrag", "(0.08, 0.05, 0.01)"},
        {"SetPMI", "(0.46, 0.94, 1.05)"},
        {"SetCrossSections", "(2, 3.5, 4.7)"},
        {"SetSize", "2"},
        {"SetEmptyMass", "576"},
        {"AddMesh", "\"TevlanQuor/tevlanlander\", (0, 0, 0)"},
        {"SetMeshVisibilityMode", "0, 3"},
        {"SetCameraOffset", "(0, 0.8, 1)"},
        {"SetCameraDefaultDirection", "(0, 1, 0), 3.141592653589793"},
        {"SetTouchdownPoints", "ptr, 6"},
        {"CreatePropellantResource", "85, 85, 1"},
        {"CreateThruster", "(0, 0.95, -0.3)" + engine},
        {"CreateThruster", "(-0.822, -0.475, -0.3)" + engine},
        {"CreateThruster", "(0.822, -0.475, -0.3)" + engine},
        {"CreateThruster", "(1.75, 0.18, 0.055), (0, -1, 0)" + rcs},
        {"CreateThruster", "(1.75, -0.18, 0.055), (0, 1, 0)" + rcs},
        {"CreateThruster", "(-1.75, 0.18, 0.055), (0, -1, 0)" + rcs},
        {"CreateThruster", "(-1.75, -0.18, 0.055), (0, 1, 0)" + rcs},
        {"CreateThrusterGroup", "group_list, 2, 3"},
        {"CreateThrusterGroup", "group_list, 1, 4"},
        {"CreateThrusterGroup", "group_list, 1, 6"},
        {"CreateThrusterGroup", "group_list, 1, 5"},
        {"CreateThrusterGroup", "group_list, 2, 7"},
        {"CreateThrusterGroup", "group_list, 2, 8"},
        {"CreateThrusterGroup", "group_list, 2, 11"},
        {"CreateThrusterGroup", "group_list, 2, 12"},
        {"CreateThrusterGroup", "group_list, 3, 0"},
        {"oapiRegisterExhaustTexture", "\"exhaust2\""},
        {"AddExhaust", "engine_1, 0.03, 0.2" + exhaust_tex},
        {"AddExhaust", "engine_2, 0.03, 0.2" + exhaust_tex},
        {"AddExhaust", "engine_3, 0.03, 0.2" + exhaust_tex},
        {"AddExhaust", "rcs_1, 0.2, 0.05" + exhaust_tex},
        {"AddExhaust", "rcs_2, 0.2, 0.05" + exhaust_tex},
        {"AddExhaust", "rcs_3, 0.2, 0.05" + exhaust_tex},
        {"AddExhaust", "rcs_4, 0.2, 0.05" + exhaust_tex},
        {"CreateAttachment",
         "true, (0, 0, 0.615), (0, 0, 1), (0.707107, 0.707107, 0), \"land\", false"},
        {"CreateThruster", "(0, 0, -5), (0, 0, 1), 0, propellant, 1e+06, 0, 101400"},
        {"oapiRegisterParticleTexture", "\"QUORTevlan/lander_dust\""},
        {"AddExhaustStream", "dust_thruster, ptr"},
    };
    std::vector<Call> configuration(calls.begin() + std::min(first, calls.size()), calls.end());
    auto at = [](const std::vector<Call>& calls, std::size_t i) {
        return i < calls.size() ? calls[i] : Call{"(none)", ""};
    };
    for (std::size_t i = 0; i < std::max(configuration.size(), expected.size()); ++i)
        EXPECT_EQ(at(configuration, i), at(expected, i)) << "call " << i + 1;
}

TEST_F(LanderSetupTest, ThrusterGroupsDriveTheirEnginesAndSmallThrusters) {
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);
    const std::map<const void*, std::string> name = {
        {l->engine_1, "engine_1"}, {l->engine_2, "engine_2"}, {l->engine_3, "engine_3"},
        {l->rcs_1, "rcs_1"},       {l->rcs_2, "rcs_2"},       {l->rcs_3, "rcs_3"},
        {l->rcs_4, "rcs_4"},
    };
    struct Group {
        THGROUP_TYPE type;
        std::vector<std::string> thrusters;
    };
    const Group expected[] = {
        {THGROUP_ATT_PITCHUP, {"engine_2", "engine_3"}},
        {THGROUP_ATT_PITCHDOWN, {"engine_1"}},
        {THGROUP_ATT_YAWRIGHT, {"engine_2"}},
        {THGROUP_ATT_YAWLEFT, {"engine_3"}},
        {THGROUP_ATT_BANKLEFT, {"rcs_2", "rcs_3"}},
        {THGROUP_ATT_BANKRIGHT, {"rcs_1", "rcs_4"}},
        {THGROUP_ATT_UP, {"rcs_2", "rcs_4"}},
        {THGROUP_ATT_DOWN, {"rcs_1", "rcs_3"}},
        {THGROUP_MAIN, {"engine_1", "engine_2", "engine_3"}},
    };
    ASSERT_EQ(v->groups.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("group " + std::to_string(i + 1));
        EXPECT_EQ(v->groups[i]->type, expected[i].type);
        std::vector<std::string> got;
        for (const sim::Thruster* t : v->groups[i]->thrusters)
            got.push_back(name.contains(t) ? name.at(t) : "unknown");
        EXPECT_EQ(got, expected[i].thrusters);
    }
}

TEST_F(LanderSetupTest, FreshLanderCarriesItsPropellantStandsOnItsFeetAndRaisesDust) {
    sim::Vessel* v = create("Lander", "quor_tevlan");
    EXPECT_DOUBLE_EQ(v->propellant_mass_kg(), 85.0);
    EXPECT_DOUBLE_EQ(v->mass_kg(), 661.0);
    EXPECT_DOUBLE_EQ(lander_of(v)->GetMass(), 661.0);

    struct Point {
        VECTOR3 pos;
        double stiffness, damping, mu, mu_lng;
    };
    const Point points[] = {
        {{-1.4, 0.9, -0.85}, 60000, 2000, 3, 3}, {{1.4, 0.9, -0.85}, 60000, 2000, 3, 3},
        {{0, -1.7, -0.85}, 60000, 2000, 3, 3},   {{-2.0, 0.65, 0.85}, 13220, 10420, 3, 0},
        {{2.0, 0.65, 0.85}, 13220, 10420, 3, 0}, {{0, -1.0, 0.85}, 13220, 10420, 3, 0},
    };
    ASSERT_EQ(v->config.touchdown().size(), std::size(points));
    for (std::size_t i = 0; i < std::size(points); ++i) {
        const TOUCHDOWNVTX& t = v->config.touchdown()[i];
        SCOPED_TRACE("touchdown point " + std::to_string(i + 1));
        EXPECT_EQ(t.pos.x, points[i].pos.x);
        EXPECT_EQ(t.pos.y, points[i].pos.y);
        EXPECT_EQ(t.pos.z, points[i].pos.z);
        EXPECT_EQ(t.stiffness, points[i].stiffness);
        EXPECT_EQ(t.damping, points[i].damping);
        EXPECT_EQ(t.mu, points[i].mu);
        EXPECT_EQ(t.mu_lng, points[i].mu_lng);
    }

    ASSERT_EQ(v->streams.size(), 1u);
    const sim::ParticleStream& dust = *v->streams[0];
    EXPECT_EQ(dust.thruster, lander_of(v)->dust_thruster);
    EXPECT_EQ(dust.thruster->max_thrust_n, 0.0);
    const PARTICLESTREAMSPEC& s = dust.stream;
    EXPECT_EQ(s.flags, 0u);
    EXPECT_EQ(s.srcsize, 0.5);
    EXPECT_EQ(s.srcrate, 30);
    EXPECT_EQ(s.v0, 50);
    EXPECT_EQ(s.srcspread, 0.8);
    EXPECT_EQ(s.lifetime, 0.3);
    EXPECT_EQ(s.growthrate, 10);
    EXPECT_EQ(s.atmslowdown, 64);
    EXPECT_EQ(s.ltype, PARTICLESTREAMSPEC::DIFFUSE);
    EXPECT_EQ(s.levelmap, PARTICLESTREAMSPEC::LVL_SQRT);
    EXPECT_EQ(s.lmin, 0);
    EXPECT_EQ(s.lmax, 1);
    EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_PLOG);
    EXPECT_EQ(s.amin, 7e-8);
    EXPECT_EQ(s.amax, 1);
    ASSERT_NE(s.tex, nullptr);
    EXPECT_EQ(static_cast<sim::Texture*>(s.tex)->name, "QUORTevlan/lander_dust");
    EXPECT_TRUE(static_cast<sim::Texture*>(s.tex)->particle);
}

// The defaults themselves are checked with the lander object; here: the configuration leaves
// the animations in place, on the mesh it adds.
TEST_F(LanderSetupTest, AnimationsActOnTheMeshTheConfigurationAdds) {
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);
    EXPECT_EQ(v->animations.size(), 4u);
    ASSERT_EQ(v->animation_components.size(), std::size_t(animation_component_count));
    ASSERT_EQ(v->meshes.size(), 1u);
    EXPECT_EQ(v->meshes[0].name, "TevlanQuor/tevlanlander");
    EXPECT_EQ(v->meshes[0].visibility, MESHVIS_ALWAYS);
    for (int i = 0; i < animation_component_count; ++i) {
        EXPECT_EQ(v->animation_components[i]->transform, l->anim_components[i]) << i;
        EXPECT_EQ(l->anim_components[i]->mesh, 0u) << i;
    }
    EXPECT_EQ(l->leg_state, 1.0);
    EXPECT_EQ(l->leg_status, 2);
}
