#include "module_frame.h"

#include "interface_version.h"
#include "oapi.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The interface version the library was built against.
constexpr const char* kInterfaceDate = VESSELSIM_INTERFACE_DATE;

using ExitRoutine = void (*)(HINSTANCE);

ExitRoutine g_exit_routine = nullptr;
HINSTANCE g_module = nullptr;
int g_version = 0;

// The names of the exit routine, in the order they are looked for.
constexpr const char* kExitRoutineNames[] = {"ExitModule", "opcDLLExit"};

#ifndef _WIN32
// The address of a symbol of this library itself: dlsym also searches the libraries a module
// depends on, so a symbol is taken only when it lies in the same image as this code.
void* own_symbol(void* module, const char* name) {
    void* f = dlsym(module, name);
    Dl_info where{}, self{};
    if (!f || !dladdr(f, &where) || !dladdr(reinterpret_cast<void*>(&own_symbol), &self))
        return nullptr;
    return where.dli_fbase == self.dli_fbase ? f : nullptr;
}
#endif

// The library's own exit routine, if it exports one. Without its own handle there is nothing
// to look in: a null handle would search the whole process.
ExitRoutine find_exit_routine(HINSTANCE module) {
    if (!module)
        return nullptr;
    for (const char* name : kExitRoutineNames) {
#ifdef _WIN32
        void* f = reinterpret_cast<void*>(GetProcAddress(module, name));
#else
        void* f = own_symbol(module, name);
#endif
        if (f)
            return reinterpret_cast<ExitRoutine>(f);
    }
    return nullptr;
}

void on_attach(HINSTANCE module) {
    g_module = module;
    InitLib(module);
    g_exit_routine = find_exit_routine(module);
}

void on_detach() {
    if (g_exit_routine)
        g_exit_routine(g_module);
}

}  // namespace

#ifdef _WIN32
BOOL WINAPI DllMain(HINSTANCE hModule, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            on_attach(hModule);
            break;
        case DLL_PROCESS_DETACH:
            on_detach();
            break;
    }
    return TRUE;
}
#else
namespace {

// This library's own handle: dlopen of its own file, which is already loaded. The reference
// that call takes is given back at once; the handle stays valid while the library is loaded.
HINSTANCE own_handle() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&on_attach), &info) || !info.dli_fname)
        return nullptr;
    void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle;
}

__attribute__((constructor)) void library_attach() {
    on_attach(own_handle());
}
__attribute__((destructor)) void library_detach() {
    on_detach();
}

}  // namespace
#endif

VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return module::create_vessel(hvessel, flightmodel);
}

void ovcExit(VESSEL* vessel) {
    if (vessel)
        module::destroy_vessel(vessel);
}

const char* ModuleDate() {
    return module::build_date;
}

int GetModuleVersion() {
    if (!g_version)
        g_version = Date2Int(kInterfaceDate);
    return g_version;
}
