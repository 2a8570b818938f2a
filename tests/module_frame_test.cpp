// The module frame: what each library exports, the version cache, the exit routine, and the
// loader's handling of libraries that are not proper modules.
#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "host/vessel.h"
#include "sim/module_calls.h"
#include "sim/module_loader.h"
#include "support/world_fixture.h"

namespace {

// Defined dynamic symbols of a library, read with nm.
std::set<std::string> exported_symbols(const std::string& path) {
    std::set<std::string> names;
    std::string cmd = "nm -D --defined-only " + path;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return names;
    std::array<char, 512> line{};
    while (fgets(line.data(), line.size(), p)) {
        char addr[64], type[8], name[400];
        if (std::sscanf(line.data(), "%63s %7s %399s", addr, type, name) == 3)
            names.insert(name);
    }
    pclose(p);
    return names;
}

}  // namespace

TEST(ModuleExports, EachLibraryExportsExactlyTheFourEntryPoints) {
    const std::set<std::string> four = {"GetModuleVersion", "ModuleDate", "ovcExit", "ovcInit"};
    for (const char* lib : {"quor_tevlan", "b_tvm58"}) {
        EXPECT_EQ(exported_symbols(module_dir() + "/" + lib + ".so"), four) << lib;
    }
}

TEST_F(WorldTest, ModuleDateAndVersionComeFromTheFrame) {
    std::string error;
    sim::ModuleLibrary* lander = world->module_for("quor_tevlan", error);
    sim::ModuleLibrary* pad = world->module_for("b_tvm58", error);
    ASSERT_TRUE(lander && pad) << error;
    EXPECT_STREQ(lander->ModuleDate(), "Aug 11 2025");
    EXPECT_STREQ(pad->ModuleDate(), "Apr 24 2019");

    // The version is Date2Int("Aug 28 2016"), asked once per library and cached.
    int before = sim::date2int_count();
    int v = lander->GetModuleVersion();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(lander->GetModuleVersion(), v);
    EXPECT_EQ(v, 20160828);
    EXPECT_LE(sim::date2int_count() - before, 1);
    int after_lander = sim::date2int_count();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(pad->GetModuleVersion(), 20160828);
    EXPECT_LE(sim::date2int_count() - after_lander, 1);
}

// A library reporting another interface version than the kit's is warned about once, as it
// loads; one reporting the kit's is not.
TEST(ModuleLoader, WarnsOfAnInterfaceVersionOtherThanTheKits) {
    const struct {
        const char* reported;
        bool warned;
    } cases[] = {{"0", true},        {"-5", true},       {"20300101", true},
                 {"20160827", true}, {"20160829", true}, {"20160828", false}};
    for (const auto& c : cases) {
        setenv("VESSELSIM_TEST_MODULE_VERSION", c.reported, 1);
        sim::World w(test_module_dir());
        std::string error;
        ASSERT_NE(w.module_for("reported_version", error), nullptr) << error;
        ASSERT_NE(w.module_for("reported_version", error), nullptr) << error;
        EXPECT_EQ(w.warning_count(), c.warned ? 1 : 0) << c.reported;
        if (c.warned) {
            const std::string& line = w.log_lines().back();
            EXPECT_NE(line.find(std::string("reported_version.so: GetModuleVersion gives ") +
                                c.reported + ", not the interface version 20160828"),
                      std::string::npos)
                << line;
        }
    }
    unsetenv("VESSELSIM_TEST_MODULE_VERSION");
}

TEST_F(WorldTest, OvcExitWithNullDoesNothing) {
    std::string error;
    sim::ModuleLibrary* lander = world->module_for("quor_tevlan", error);
    ASSERT_NE(lander, nullptr) << error;
    lander->ovcExit(nullptr);
    EXPECT_TRUE(world->vessels().empty());
}

TEST(ModuleLoader, ReportsWhyALibraryCannotServe) {
    struct Case {
        std::string file;
        std::string expected;
    };
    const Case cases[] = {
        {"no_such_module.so", "cannot load module"},
        {"not_a_library.so", "cannot load module"},
        {"missing_export.so", "lacks the export GetModuleVersion"},
    };
    for (const auto& c : cases) {
        sim::ModuleLibrary lib;
        std::string error;
        EXPECT_FALSE(sim::load_module_library(test_module_dir() + "/" + c.file, lib, error))
            << c.file;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_NE(error.find(c.file), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(lib.handle, nullptr);
    }
}

TEST(ModuleLoader, AttachAnnouncesTheLibraryAndDetachCallsOnlyItsOwnExitRoutine) {
    struct Case {
        const char* library;
        const char* called;  // the routines called at unload, null for none
    };
    const Case cases[] = {
        {"exit_routine_probe.so", "ExitModule"},
        {"exit_routine_fallback_probe.so", "opcDLLExit"},
        {"exit_routine_both_probe.so", "ExitModule"},
        // The routines of a library the module depends on are not the module's.
        {"exit_routine_dependent_probe.so", nullptr},
    };
    for (const Case& c : cases) {
        unsetenv("VESSELSIM_EXIT_ROUTINE_CALLED");
        int initlib_before = sim::initlib_count();
        sim::ModuleLibrary lib;
        std::string error;
        ASSERT_TRUE(sim::load_module_library(test_module_dir() + "/" + c.library, lib, error))
            << error;
        EXPECT_EQ(sim::initlib_count(), initlib_before + 1) << c.library;
        EXPECT_EQ(getenv("VESSELSIM_EXIT_ROUTINE_CALLED"), nullptr) << c.library;
        sim::unload_module_library(lib);
        const char* called = getenv("VESSELSIM_EXIT_ROUTINE_CALLED");
        EXPECT_STREQ(called, c.called) << c.library;
    }
}

TEST(ModuleLoader, ClassNamesStayInsideTheModulesFolder) {
    for (const char* name : {"quor_tevlan", "b_tvm58", "my.lander", "x..y"})
        EXPECT_TRUE(sim::is_module_class_name(name)) << name;
    for (const std::string& name :
         std::initializer_list<std::string>{"", ".", "..", "../quor_tevlan", "a/b", "/tmp/evil",
                                            "a\\b", "..\\x", std::string("ok\0/../x", 9)})
        EXPECT_FALSE(sim::is_module_class_name(name)) << name;
}

TEST_F(WorldTest, UnknownVesselClassIsReportedAndNothingIsCreated) {
    std::string error;
    EXPECT_EQ(world->create_vessel("X", "no_such_class", error), nullptr);
    EXPECT_NE(error.find("no_such_class.so"), std::string::npos) << error;
    EXPECT_TRUE(world->vessels().empty());
}
