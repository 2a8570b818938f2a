// The probe only finds a client that is already loaded: with a real client library on the
// library search path and nobody having loaded it, the probe finds nothing and the library
// stays out of the process. A client loaded by its full path, with no soname, is found by its
// file name.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "launchpad/graphics_client.h"
#include "sim/world.h"
#include "support/world_fixture.h"

namespace {

constexpr const char* kClient = "D3D9Client.dll";
// Set in the copy of this program that runs with the client on its search path.
constexpr const char* kOnPathVariable = "VESSELSIM_CLIENT_ON_SEARCH_PATH";
// Set in the copy of this program that loads the client without a soname by its path.
constexpr const char* kByPathVariable = "VESSELSIM_CLIENT_BY_PATH";

bool loaded(const char* name) {
    void* h = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

// The checks, in a process whose LD_LIBRARY_PATH holds the folder of the client's library.
void probe_with_the_client_on_the_search_path() {
    ASSERT_FALSE(loaded(kClient)) << "loaded before the test";
    const gc::module_services os = gc::os_module_services();
    EXPECT_EQ(os.find_loaded_module(kClient), nullptr);
    EXPECT_FALSE(loaded(kClient)) << "the search loaded it";
    // A handle to a library that is not there any more would be looked into next.
    ASSERT_FALSE(::testing::Test::HasFailure());

    sim::World world;  // receives the log line
    gc::client c(os);
    EXPECT_FALSE(c.probe());
    EXPECT_FALSE(c.ready());
    EXPECT_EQ(world.log_lines(), std::vector<std::string>{"gcAPI: [Graphics Client Not Found]"});
    EXPECT_FALSE(loaded(kClient));

    // The premise: a plain load by that name finds the library (last, as it loads it).
    void* h = dlopen(kClient, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(h, nullptr) << "the client is not on the search path: " << dlerror();
    if (h)
        dlclose(h);
}

// Runs one test of this program in a new copy of it, with the environment given first on the
// command line; the copy must pass.
void run_in_new_process(const std::string& environment, const std::string& test) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    const std::string command =
        environment + " '" + self + "' --gtest_filter=GraphicsClientProbe." + test + " 2>&1";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, child)) > 0;) out.append(buf, got);
    const int status = pclose(child);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test."), std::string::npos) << out;
}

// The checks, in a process that loaded the client without a soname by its full path.
void probe_with_the_client_loaded_by_path() {
    const std::string path = test_module_dir() + "/without_soname/" + kClient;
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr) << dlerror();
    // The premise: the dynamic linker alone does not know it by its file name.
    EXPECT_FALSE(loaded(kClient));

    const gc::module_services os = gc::os_module_services();
    EXPECT_EQ(os.find_loaded_module(kClient), h);
    // The whole last component, not a part of it nor a path.
    for (const char* other : {"Client.dll", "9Client.dll", "D3D9Client.dl", "D3D11Client.dll",
                              "without_soname/D3D9Client.dll", ""})
        EXPECT_EQ(os.find_loaded_module(other), nullptr) << other;

    sim::World world;
    gc::client c(os);
    EXPECT_TRUE(c.probe());
    EXPECT_EQ(c.client_id_call(), 0x5D9Cu);
    EXPECT_TRUE(world.log_lines().empty());
}

}  // namespace

// The search path is read when a program starts: the checks run in a new copy of this program.
TEST(GraphicsClientProbe, AClientOnTheSearchPathThatNobodyLoadedIsNotFoundAndStaysUnloaded) {
    if (std::getenv(kOnPathVariable)) {
        probe_with_the_client_on_the_search_path();
        return;
    }
    run_in_new_process(
        std::string(kOnPathVariable) + "=1 LD_LIBRARY_PATH='" + test_module_dir() + "'",
        "AClientOnTheSearchPathThatNobodyLoadedIsNotFoundAndStaysUnloaded");
}

// A client in the process stays there: the checks run in a new copy of this program.
TEST(GraphicsClientProbe, AClientLoadedByItsPathIsFoundByItsFileName) {
    if (std::getenv(kByPathVariable)) {
        probe_with_the_client_loaded_by_path();
        return;
    }
    run_in_new_process(std::string(kByPathVariable) + "=1",
                       "AClientLoadedByItsPathIsFoundByItsFileName");
}
