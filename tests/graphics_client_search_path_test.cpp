// The probe only finds a client that is already loaded: with a real client library on this
// program's library search path (its run path names the folder of test modules) and nobody
// having loaded it, the probe finds nothing and the library stays out of the process.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "launchpad/graphics_client.h"
#include "sim/world.h"

namespace {

constexpr const char* kClient = "D3D9Client.dll";

bool loaded(const char* name) {
    void* h = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

// Whether a plain load by that name would find the library; tried in a child process, so that
// this one stays without it.
bool on_search_path(const char* name) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(dlopen(name, RTLD_NOW | RTLD_LOCAL) ? 0 : 1);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(GraphicsClientProbe, AClientOnTheSearchPathThatNobodyLoadedIsNotFoundAndStaysUnloaded) {
    ASSERT_FALSE(loaded(kClient)) << "loaded before the test";
    ASSERT_TRUE(on_search_path(kClient)) << "the test needs the client on the search path";

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
}
