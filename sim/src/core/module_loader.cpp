#include "sim/module_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "crash_context.h"
#include "platform.h"
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
    const std::string file = class_name + platform::library_suffix;
    for (const auto& rank : path.ranks) {
        std::vector<std::string> found;
        std::vector<platform::FileId> seen;
        for (const std::string& folder : rank) {
            std::string candidate =
                (folder.empty() ? std::string(".") : folder) + platform::path_separator + file;
            platform::FileId id;
            if (!platform::file_id(candidate, id))
                continue;
            // A folder named twice, however spelt, is one folder.
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
    void* handle = nullptr;
    std::string why;
    {
        LibraryScope loading(path, "loading");
        handle = platform::load_library(path, why);
    }
    if (!handle) {
        error = "cannot load module " + path + ": " + why;
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
        *e.slot = platform::library_symbol(handle, e.name);
        if (!*e.slot) {
            error = "module " + path + " lacks the export " + e.name;
            platform::unload_library(handle);
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
        platform::unload_library(lib.handle);
    }
    lib.handle = nullptr;
}

}  // namespace sim
