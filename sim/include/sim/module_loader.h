// Loading module libraries: a vessel class is served by the library named after it.
#pragma once

#include <string>

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

// A class name names a library in the modules folder and nothing outside it: it is not empty
// and holds no path separator ("/", "\\"), no "." or ".." part and no NUL character.
bool is_module_class_name(const std::string& class_name);

// Opens the library at path and resolves its four entry points. On failure returns false with
// one line in error saying which library and why, and leaves nothing loaded.
bool load_module_library(const std::string& path, ModuleLibrary& lib, std::string& error);
void unload_module_library(ModuleLibrary& lib);

SIM_API_END
}  // namespace sim
