#include "sim/module_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "crash_context.h"
#include "sim/world.h"

namespace sim {

bool is_module_class_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::vector<std::string> ModulePath::folders() const {
    std::vector<std::string> all;
    for (const auto& rank : ranks) all.insert(all.end(), rank.begin(), rank.end());
    return all;
}

std::string find_module_file(const ModulePath& path, const std::string& class_name,
                             std::string& error) {
    const std::string file = class_name + ".so";
    for (const auto& rank : path.ranks) {
        std::vector<std::string> found;
        std::vector<std::pair<dev_t, ino_t>> seen;
        for (const std::string& folder : rank) {
            std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + file;
            struct stat st {};
            if (::stat(candidate.c_str(), &st) != 0)
                continue;
            // A folder named twice, however spelt, is one folder.
            const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
            if (std::find(seen.begin(), seen.end(), id) != seen.end())
                continue;
            seen.push_back(id);
            found.push_back(candidate);
        }
        if (found.size() > 1) {
            error = "class " + class_name + " is in two module folders: " + found[0] + " and " +
                    found[1];
            return "";
        }
        if (found.size() == 1)
            return found[0];
    }
    const std::vector<std::string> folders = path.folders();
    std::string searched;
    for (const std::string& folder : folders)
        searched += (searched.empty() ? "" : ", ") + (folder.empty() ? std::string(".") : folder);
    error = "no module " + file + " in " +
            (folders.empty()       ? std::string("any module folder")
             : folders.size() == 1 ? "the module folder " + searched
                                   : "the module folders " + searched);
    return "";
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
