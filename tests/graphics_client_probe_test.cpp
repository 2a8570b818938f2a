// The graphics-client probe with the operating system's module services played by the test:
// the order of the module names, the one search that a found client ends, the log line of each
// search that finds none, the fallbacks; the pure conversions; and pads set up without a
// client in the process.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "launchpad/graphics_client.h"
#include "sim/world.h"
#include "support/pad_fixture.h"

namespace {

// The modules "loaded" in the process and their symbols, and every question asked.
struct fake_os {
    std::map<std::string, int> loaded;  // file name -> module id
    std::vector<std::string> symbols;   // exported by every loaded module
    std::vector<std::string> searched, looked_up;
};
fake_os* g_os = nullptr;
int g_entry = 0;  // the address a found symbol resolves to

gc::module_services fake_services() {
    return {[](const char* name) -> void* {
                g_os->searched.push_back(name);
                auto it = g_os->loaded.find(name);
                return it == g_os->loaded.end() ? nullptr : &g_os->loaded[name];
            },
            [](void* module, const char* name) -> void* {
                g_os->looked_up.push_back(std::to_string(*static_cast<int*>(module)) + ":" + name);
                for (const auto& s : g_os->symbols)
                    if (s == name)
                        return &g_entry;
                return nullptr;
            }};
}

class ProbeTest : public ::testing::Test {
  protected:
    void SetUp() override { g_os = &os; }
    void TearDown() override { g_os = nullptr; }
    fake_os os;
    sim::World world;  // receives the log lines
};

}  // namespace

TEST_F(ProbeTest, SearchesTheThreeNamesInOrderAndUsesTheFirstFound) {
    os.loaded = {{"D3D9Client.dll", 1}, {"D3D11Client.dll", 3}};
    os.symbols = {"gcClientID", "gcMeshMaterial"};
    gc::client c(fake_services());
    EXPECT_TRUE(c.probe());
    EXPECT_EQ(os.searched, std::vector<std::string>{"D3D9Client.dll"});
    ASSERT_EQ(os.looked_up.size(), 15u);
    for (int e = 0; e < gc::entry_count; ++e)
        EXPECT_EQ(os.looked_up[e], std::string("1:") + gc::entry_names[e]);
    EXPECT_EQ(os.looked_up.front(), "1:gcClientID");
    EXPECT_EQ(os.looked_up.back(), "1:gcMeshMaterial");
    EXPECT_EQ(c.slot(gc::mesh_material), &g_entry);
    EXPECT_EQ(c.slot(gc::create_poly), nullptr);

    os.loaded = {{"D3D11Client.dll", 3}};
    os.searched.clear();
    gc::client late(fake_services());
    EXPECT_TRUE(late.probe());
    EXPECT_EQ(os.searched, (std::vector<std::string>{"D3D9Client.dll", "D3D9ClientDebug.dll",
                                                     "D3D11Client.dll"}));
    EXPECT_TRUE(world.log_lines().empty());
}

TEST_F(ProbeTest, AFoundClientEndsTheSearchEvenWithoutAClientId) {
    os.loaded = {{"D3D9ClientDebug.dll", 2}};
    os.symbols = {"gcSketchpadVersion"};
    gc::client c(fake_services());
    EXPECT_FALSE(c.probe());
    EXPECT_FALSE(c.ready());
    std::size_t searches = os.searched.size(), look_ups = os.looked_up.size();
    EXPECT_FALSE(c.probe());  // no new search, no new look-up, no log
    EXPECT_EQ(os.searched.size(), searches);
    EXPECT_EQ(os.looked_up.size(), look_ups);
    EXPECT_TRUE(world.log_lines().empty());
}

TEST_F(ProbeTest, EachSearchThatFindsNoneLogsOnceAndLaterSearchesCanStillFindOne) {
    gc::client c(fake_services());
    EXPECT_FALSE(c.probe());
    EXPECT_FALSE(c.probe());
    EXPECT_EQ(world.log_lines(),
              (std::vector<std::string>(2, "gcAPI: [Graphics Client Not Found]")));
    EXPECT_EQ(os.searched.size(), 6u);
    os.loaded = {{"D3D11Client.dll", 3}};
    os.symbols = {"gcClientID"};
    EXPECT_TRUE(c.probe());
    EXPECT_EQ(world.log_lines().size(), 2u);
}

TEST_F(ProbeTest, WithoutAClientEveryOperationAnswersItsFallbackAndCallsNothing) {
    gc::client c(fake_services());
    EXPECT_FALSE(c.ready());
    EXPECT_EQ(c.client_id_call(), 0u);
    EXPECT_EQ(c.get_surface_attribs_call(nullptr, false), 0u);
    EXPECT_FALSE(c.generate_mip_maps_call(nullptr));
    EXPECT_FALSE(c.register_render_proc_call(1, 2, 3));
    EXPECT_EQ(c.delete_custom_camera_call(1), 0);
    EXPECT_EQ(c.setup_custom_camera_call(1, 2, 3, 4, 5, 0.5, 6, 7), 0u);
    EXPECT_EQ(c.sketchpad_version_call(1), 1);
    EXPECT_EQ(c.load_sketch_mesh_call("mesh"), 0u);
    EXPECT_EQ(c.create_poly_call(1, 2, 3, 4), 0u);
    EXPECT_FALSE(c.world_to_screen_space_call(1, 2, 3, 1.0f));
    EXPECT_EQ(c.mesh_material_call(1, 2, 3, true), -5);
    c.convert_surface_call(nullptr, 0);
    c.custom_camera_on_off_call(1, true);
    c.delete_sketch_mesh_call(1);
    c.delete_poly_call(1);
}

TEST(GraphicsClientConversions, ColourPacking) {
    struct Case {
        float r, g, b, a;
        DWORD packed;
    };
    const Case cases[] = {
        {1, 0.5f, 0, 0, 0x01FF7F00},  // alpha 0 becomes 1
        {0, 0, 1, 1, 0xFF0000FF},     //
        {0.999f, 0.004f, 0.5f, 0.5f, 0x7FFE017F},
        {1.5f, -0.5f, 0.0001f, 1, 0xFFFFFF00},  // out of range: 255
        {-0.001f, 0, 0, 0.002f, 0x01000000},    // truncated towards zero: 0
        {1e30f, -1e30f, std::nanf(""), 1, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gc::pack_colour(c.r, c.g, c.b, c.a), c.packed) << c.r << " " << c.g;
        EXPECT_EQ(gc::pack_colour(COLOUR4{c.r, c.g, c.b, c.a}), c.packed);
    }
}

TEST(GraphicsClientConversions, MatricesWidenSetTheirTranslationAndPlaceAFrame) {
    gc::fmatrix4 m{};
    for (int i = 0; i < 16; ++i) m.m[i] = 0.1f * static_cast<float>(i);
    double wide[16];
    gc::widen_matrix(m, wide);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(wide[i], static_cast<double>(m.m[i]));
    gc::set_translation(m, {7, 8, 9});
    EXPECT_EQ(m.m[12], 7.0f);
    EXPECT_EQ(m.m[13], 8.0f);
    EXPECT_EQ(m.m[14], 9.0f);
    EXPECT_EQ(m.m[15], 0.1f * 15);
    EXPECT_EQ(m.m[11], 0.1f * 11);

    // u x w by the plain formula: (1,2,3) x (4,5,6) = (-3, 6, -3).
    gc::fmatrix4 p = gc::placement_matrix({10, 20, 30}, {1, 2, 3}, {4, 5, 6}, 2);
    const float expected[16] = {2, 4, 6, 0, -6, 12, -6, 0, 8, 10, 12, 0, 10, 20, 30, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p.m[i], expected[i]) << i;
}

TEST_F(PadTest, EveryPadSetUpWithoutAClientLogsOnceAndGetsThePlainVent) {
    for (const char* name : {"A", "B", "C"}) {
        sim::Vessel* v = create(name, "b_tvm58");
        const PARTICLESTREAMSPEC& vent = v->streams.front()->stream;
        EXPECT_EQ(vent.srcrate, 8);
        EXPECT_EQ(vent.srcspread, 5);
        EXPECT_EQ(vent.growthrate, 0.5);
    }
    EXPECT_EQ(world->log_lines(),
              (std::vector<std::string>(3, "gcAPI: [Graphics Client Not Found]")));
    EXPECT_FALSE(graphics_client_ready());
}
