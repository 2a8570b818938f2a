#include "sim/module_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "crash_context.h"
#include "sim/world.h"

namespace sim {

bool is_module_class_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool load_module_library(const std::string& path, ModuleLibrary& lib, std::string& error) {
    dlerror();
    void* handle = nullptr;
    {
        LibraryScope loading(path, "loading");
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
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
    if (lib.handle) {
        LibraryScope unloading(lib.path, "unloading");
        dlclose(lib.handle);
    }
    lib.handle = nullptr;
}

}  // namespace sim
