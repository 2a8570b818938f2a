// The operating system's module services on Windows: a module already loaded in the process
// by its file name (GetModuleHandleA, which never loads one), and its exports by name.
#include <windows.h>

#include "graphics_client.h"

namespace gc {

namespace {

void* find_loaded_module(const char* file_name) {
    if (!file_name || !*file_name)
        return nullptr;
    return reinterpret_cast<void*>(GetModuleHandleA(file_name));
}

void* find_symbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace

module_services os_module_services() {
    return {find_loaded_module, find_symbol};
}

}  // namespace gc
