// The module frame in DLLs under Windows: the host's types agree with <windows.h>; DllMain's
// attach calls InitLib with the DLL's handle and looks up the DLL's own exit routine, which its
// detach calls; the four entry points; and the loader's refusals. Run from the modules folder
// and the test modules' folder given on the command line.
//   module_frame_check MODULES_DIR TEST_MODULES_DIR
#include <windows.h>

#include <cstdlib>
#include <string>
#include <type_traits>

#include "check.h"
#include "host/handles.h"
#include "sim/module_calls.h"
#include "sim/module_loader.h"

// The host's declarations and <windows.h> name the same types.
static_assert(std::is_same_v<DWORD, unsigned long>);
static_assert(sizeof(DWORD) == 4 && sizeof(WORD) == 2);
static_assert(std::is_same_v<HINSTANCE, HMODULE>);
static_assert(std::is_same_v<HDC, ::HDC>);

namespace {

const char* kCalled = "VESSELSIM_EXIT_ROUTINE_CALLED";

std::string called() {
    const char* v = std::getenv(kCalled);
    return v ? v : "";
}

void entry_points(const std::string& modules) {
    struct Library {
        const char* name;
        const char* date;
    };
    for (const Library& l : {Library{"quor_tevlan", "Aug 11 2025"}, {"b_tvm58", "Apr 24 2019"}}) {
        const int attached = sim::initlib_count();
        sim::ModuleLibrary lib;
        std::string error;
        const std::string path = modules + "\\" + l.name + ".dll";
        if (!sim::load_module_library(path, lib, error)) {
            check::fail(__FILE__, __LINE__, error);
            continue;
        }
        CHECK_EQ(sim::initlib_count(), attached + 1);
        CHECK_EQ(std::string(lib.ModuleDate()), std::string(l.date));
        const int asked = sim::date2int_count();
        for (int i = 0; i < 20; ++i) CHECK_EQ(lib.GetModuleVersion(), 20160828);
        CHECK(sim::date2int_count() - asked <= 1);
        lib.ovcExit(nullptr);
        // The handle the loader holds is the one DllMain got: the same module.
        CHECK(GetModuleHandleA((std::string(l.name) + ".dll").c_str()) ==
              static_cast<HMODULE>(lib.handle));
        sim::unload_module_library(lib);
        CHECK(GetModuleHandleA((std::string(l.name) + ".dll").c_str()) == nullptr);
    }
}

void exit_routines(const std::string& test_modules) {
    struct Case {
        const char* library;
        const char* called;  // at unload; empty for none
    };
    const Case cases[] = {
        {"exit_routine_probe", "ExitModule"},
        {"exit_routine_fallback_probe", "opcDLLExit"},
        {"exit_routine_both_probe", "ExitModule"},
        // The routines of a DLL the module imports from are not the module's.
        {"exit_routine_dependent_probe", ""},
    };
    for (const Case& c : cases) {
        _putenv_s(kCalled, "");
        const int attached = sim::initlib_count();
        sim::ModuleLibrary lib;
        std::string error;
        if (!sim::load_module_library(test_modules + "\\" + c.library + ".dll", lib, error)) {
            check::fail(__FILE__, __LINE__, error);
            continue;
        }
        CHECK_EQ(sim::initlib_count(), attached + 1);
        CHECK_EQ(called(), std::string());
        sim::unload_module_library(lib);
        CHECK_EQ(called(), std::string(c.called));
    }
}

void refusals(const std::string& test_modules) {
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"no_such_module.dll", "cannot load module"},
        {"not_a_library.dll", "cannot load module"},
        {"missing_export.dll", "lacks the export GetModuleVersion"},
    };
    for (const Case& c : cases) {
        sim::ModuleLibrary lib;
        std::string error;
        const std::string path = test_modules + "\\" + c.file;
        CHECK(!sim::load_module_library(path, lib, error));
        CHECK(error.find(c.expected) != std::string::npos);
        CHECK(error.find(path) != std::string::npos);
        CHECK(error.find('\n') == std::string::npos);
        CHECK(lib.handle == nullptr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: module_frame_check MODULES_DIR TEST_MODULES_DIR\n";
        return 2;
    }
    entry_points(argv[1]);
    exit_routines(argv[2]);
    refusals(argv[2]);
    std::cout << "module_frame_check: " << check::failures << " failed\n";
    return check::failures;
}
