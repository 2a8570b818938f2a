#include "sim/module_loader.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "host/oapi.h"
#include "sim/world.h"

namespace {
int g_initlib_calls = 0;
int g_date2int_calls = 0;
}  // namespace

namespace sim {

bool is_module_class_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool load_module_library(const std::string& path, ModuleLibrary& lib, std::string& error) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load module " + path + ": " + (why ? why : "unknown error");
        return false;
    }
    struct Entry {
        const char* name;
        void** slot;
    };
    ModuleLibrary found;
    Entry entries[] = {{"ovcInit", reinterpret_cast<void**>(&found.ovcInit)},
                       {"ovcExit", reinterpret_cast<void**>(&found.ovcExit)},
                       {"ModuleDate", reinterpret_cast<void**>(&found.ModuleDate)},
                       {"GetModuleVersion", reinterpret_cast<void**>(&found.GetModuleVersion)}};
    for (auto& e : entries) {
        *e.slot = dlsym(handle, e.name);
        if (!*e.slot) {
            error = "module " + path + " lacks the export " + e.name;
            dlclose(handle);
            return false;
        }
    }
    found.class_name = lib.class_name;
    found.path = path;
    found.handle = handle;
    lib = found;
    return true;
}

void unload_module_library(ModuleLibrary& lib) {
    if (lib.handle)
        dlclose(lib.handle);
    lib.handle = nullptr;
}

int initlib_count() {
    return g_initlib_calls;
}
int date2int_count() {
    return g_date2int_calls;
}

}  // namespace sim

void InitLib(HINSTANCE hModule) {
    ++g_initlib_calls;
    auto* w = sim::World::current();
    if (!w)
        return;
    link_map* map = nullptr;
    if (hModule && dlinfo(hModule, RTLD_DI_LINKMAP, &map) == 0 && map)
        w->log(std::string("module attached: ") + map->l_name);
    else
        w->log("module attached");
}

int Date2Int(const char* date) {
    ++g_date2int_calls;
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date)
        return 0;
    char mon[4] = {};
    int day = 0, year = 0;
    if (std::sscanf(date, "%3s %d %d", mon, &day, &year) != 3)
        return 0;
    for (std::size_t m = 0; m < std::size(months); ++m)
        if (std::strcmp(mon, months[m]) == 0)
            return year * 10000 + int(m + 1) * 100 + day;
    return 0;
}
