// The probe only finds a client that is already loaded: with a real client library on the
// library search path and nobody having loaded it, the probe finds nothing and the library
// stays out of the process.
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

}  // namespace

// The search path is read when a program starts: the checks run in a new copy of this program.
TEST(GraphicsClientProbe, AClientOnTheSearchPathThatNobodyLoadedIsNotFoundAndStaysUnloaded) {
    if (std::getenv(kOnPathVariable)) {
        probe_with_the_client_on_the_search_path();
        return;
    }
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    const std::string command = std::string(kOnPathVariable) + "=1 LD_LIBRARY_PATH='" +
                                test_module_dir() + "' '" + self +
                                "' --gtest_filter=GraphicsClientProbe."
                                "AClientOnTheSearchPathThatNobodyLoadedIsNotFoundAndStaysUnloaded"
                                " 2>&1";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, child)) > 0;) out.append(buf, got);
    const int status = pclose(child);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test."), std::string::npos) << out;
}
