// Loading module libraries: a vessel class is served by the library named after it.
#pragma once

#include <string>
#include <vector>

#include "host/handles.h"
#include "sim/export.h"

class VESSEL;

namespace sim {
SIM_API_BEGIN

struct ModuleLibrary {
    std::string class_name;
    std::string path;
    void* handle = nullptr;
    VESSEL* (*ovcInit)(OBJHANDLE, int) = nullptr;
    void (*ovcExit)(VESSEL*) = nullptr;
    const char* (*ModuleDate)() = nullptr;
    int (*GetModuleVersion)() = nullptr;
};

// Where module libraries are looked for: folders in ranks, the first rank first. A class is the
// library CLASS.so (CLASS.dll on Windows) of the first rank with a folder that holds one; two
// folders of that rank that both hold one leave the class ambiguous. An empty folder name is the
// working folder.
struct ModulePath {
    std::vector<std::vector<std::string>> ranks;

    ModulePath() = default;
    // One folder.
    ModulePath(std::string folder) : ranks{{std::move(folder)}} {}
    ModulePath(const char* folder) : ModulePath(std::string(folder)) {}

    // Every folder, in the order they are searched.
    std::vector<std::string> folders() const;
};

// The library file of a class: "FOLDER/CLASS.so", or "FOLDER\CLASS.dll" on Windows. Empty with
// one line in error when no folder holds it, or two folders of the rank that does.
std::string find_module_file(const ModulePath& path, const std::string& class_name,
                             std::string& error);

// A class name names a library in the modules folder and nothing outside it: it is not empty
// and holds no path separator ("/", "\\"), no "." or ".." part and no NUL character.
bool is_module_class_name(const std::string& class_name);

// Opens the library at path and resolves its four entry points. On failure returns false with
// one line in error saying which library and why, and leaves nothing loaded.
bool load_module_library(const std::string& path, ModuleLibrary& lib, std::string& error);
void unload_module_library(ModuleLibrary& lib);

SIM_API_END
}  // namespace sim
