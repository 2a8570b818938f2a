// The graphics-client probe under Windows, by GetModuleHandleA: a client DLL beside this program
// (on the DLL search path) that nobody loaded is not found and stays unloaded, and a pad gets
// the plain vent; once loaded by its full path it is found by its file name, its entries are
// called with their arguments in order, the missing ones answer their fallbacks, and a pad gets
// the denser vent.
//   probe_check MODULES_DIR CLIENT_DLL
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "launchpad/graphics_client.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace {

constexpr const char* kClient = "D3D9Client.dll";

bool loaded() {
    return GetModuleHandleA(kClient) != nullptr;
}

// The vent's source rate of a pad set up now, from the pad's own DLL.
double pad_vent_rate(const std::string& modules) {
    sim::World world(modules);
    std::string error;
    sim::Vessel* pad = world.create_vessel("Pad", "b_tvm58", error);
    if (!pad || pad->streams.empty()) {
        check::fail(__FILE__, __LINE__, "no pad: " + error);
        return -1;
    }
    return pad->streams.front()->stream.srcrate;
}

void without_the_client(const std::string& modules) {
    CHECK(!loaded());
    const gc::module_services os = gc::os_module_services();
    CHECK(os.find_loaded_module(kClient) == nullptr);
    {
        sim::World world;  // receives the log line
        gc::client c(os);
        CHECK(!c.probe());
        CHECK(!c.ready());
        CHECK_EQ(world.log_lines().size(), 1u);
        if (!world.log_lines().empty())
            CHECK_EQ(world.log_lines().front(), std::string("gcAPI: [Graphics Client Not Found]"));
    }
    CHECK_EQ(pad_vent_rate(modules), 8.0);
    CHECK(!loaded());
}

void with_the_client(const std::string& modules, const std::string& client_path) {
    HMODULE h = LoadLibraryA(client_path.c_str());
    CHECK(h != nullptr);
    const gc::module_services os = gc::os_module_services();
    CHECK(os.find_loaded_module(kClient) == static_cast<void*>(h));
    for (const char* other : {"D3D11Client.dll", "D3D9ClientDebug.dll", ""})
        CHECK(os.find_loaded_module(other) == nullptr);

    sim::World world;
    gc::client c(os);
    CHECK(c.probe());
    CHECK(world.log_lines().empty());
    CHECK_EQ(c.client_id_call(), 0x5D9Cul);
    CHECK_EQ(c.sketchpad_version_call(0), 2);
    using gc::word;
    word expected = 1;
    for (word w : {word(2), word(3), word(4), word(5)}) expected = expected * 7 + w;
    expected = ((expected * 7 + 1500) * 7 + 6) * 7 + 8;
    CHECK_EQ(c.setup_custom_camera_call(1, 2, 3, 4, 5, 1.5, 6, 8), expected);
    CHECK(c.world_to_screen_space_call(1, 2, 3, 0.75f));
    CHECK(!c.world_to_screen_space_call(1, 2, 3, 0.25f));
    CHECK_EQ(c.mesh_material_call(3, 4, 0, false), 304);
    CHECK_EQ(c.mesh_material_call(3, 4, 0, true), -304);
    CHECK(c.slot(gc::create_poly) == nullptr);
    CHECK_EQ(c.create_poly_call(1, 2, 3, 4), word(0));
    CHECK_EQ(c.delete_custom_camera_call(1), 0);
    CHECK_EQ(pad_vent_rate(modules), 12.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: probe_check MODULES_DIR CLIENT_DLL\n";
        return 2;
    }
    without_the_client(argv[1]);
    with_the_client(argv[1], argv[2]);
    std::cout << "probe_check: " << check::failures << " failed\n";
    return check::failures;
}
