// With a graphics client loaded into the process before any pad is set up: the probe finds it
// by its file name, resolves its entries, forwards calls to them and falls back for the entries
// it lacks, and the pads make their vent denser. A program of its own, since the pad library
// keeps the client it found for its lifetime.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "launchpad/b_tvm58.h"
#include "launchpad/graphics_client.h"
#include "sim/world.h"
#include "support/world_fixture.h"

namespace {

// Loaded once for the whole program and kept, as a simulator keeps its graphics client.
void* load_client() {
    static void* handle =
        dlopen((test_module_dir() + "/D3D9Client.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle;
}

class PadWithClientTest : public WorldTest {
  protected:
    void SetUp() override {
        ASSERT_NE(load_client(), nullptr) << dlerror();
        WorldTest::SetUp();
        world->register_builtin_module(
            "b_tvm58", [](OBJHANDLE h, int fmodel) -> VESSEL* { return new b_tvm58(h, fmodel); },
            [](VESSEL* v) { delete static_cast<b_tvm58*>(v); });
    }
    static const PARTICLESTREAMSPEC& vent_of(const sim::Vessel* v) {
        return v->streams.front()->stream;
    }
};

TEST_F(PadWithClientTest, PadsFindTheLoadedClientAndMakeTheirVentDenser) {
    sim::Vessel* first = create("Pad1", "b_tvm58");
    sim::Vessel* second = create("Pad2", "b_tvm58");  // no second search: no log, same answer
    EXPECT_TRUE(world->log_lines().empty());
    EXPECT_TRUE(graphics_client_ready());
    for (const sim::Vessel* v : {first, second}) {
        const PARTICLESTREAMSPEC& vent = vent_of(v);
        EXPECT_EQ(vent.srcrate, 12);
        EXPECT_EQ(vent.srcspread, 3);
        EXPECT_EQ(vent.growthrate, 1);
    }
}

TEST(GraphicsClientLoaded, ThePadLibraryLoadedFromItsFileFindsTheClientToo) {
    ASSERT_NE(load_client(), nullptr) << dlerror();
    sim::World w(module_dir());
    std::string error;
    sim::Vessel* v = w.create_vessel("Pad", "b_tvm58", error);
    ASSERT_NE(v, nullptr) << error;
    for (const std::string& line : w.log_lines())  // the library announces itself, no more
        EXPECT_EQ(line.find("gcAPI"), std::string::npos) << line;
    EXPECT_EQ(v->streams.front()->stream.srcrate, 12);
}

TEST(GraphicsClientLoaded, ForwardsToTheClientsEntriesAndFallsBackForTheMissingOnes) {
    ASSERT_NE(load_client(), nullptr) << dlerror();
    gc::client c;
    EXPECT_TRUE(c.probe());
    EXPECT_EQ(c.client_id_call(), 0x5D9Cu);
    EXPECT_EQ(c.sketchpad_version_call(0), 2);
    using gc::word;
    word expected = 1;
    for (word w : {word(2), word(3), word(4), word(5)}) expected = expected * 7 + w;
    expected = ((expected * 7 + 1500) * 7 + 6) * 7 + 8;
    EXPECT_EQ(c.setup_custom_camera_call(1, 2, 3, 4, 5, 1.5, 6, 8), expected);
    EXPECT_TRUE(c.world_to_screen_space_call(1, 2, 3, 0.75f));
    EXPECT_FALSE(c.world_to_screen_space_call(1, 2, 3, 0.25f));
    EXPECT_EQ(c.mesh_material_call(3, 4, 0, false), 304);
    EXPECT_EQ(c.mesh_material_call(3, 4, 0, true), -304);
    // Entries this client does not export.
    EXPECT_EQ(c.slot(gc::create_poly), nullptr);
    EXPECT_EQ(c.create_poly_call(1, 2, 3, 4), 0u);
    EXPECT_FALSE(c.generate_mip_maps_call(nullptr));
    EXPECT_EQ(c.get_surface_attribs_call(nullptr, true), 0u);
    EXPECT_EQ(c.delete_custom_camera_call(1), 0);
    c.convert_surface_call(nullptr, 1);  // nothing to call, nothing happens
}

}  // namespace
