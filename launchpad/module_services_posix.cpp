// The operating system's module services on POSIX systems, by the dynamic linker.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>

#include "graphics_client.h"

namespace gc {

namespace {

// The file name of a path: what follows its last "/".
const char* last_component(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// The path a loaded object was opened by, when its file name is file_name.
std::string loaded_path_named(const char* file_name) {
    struct search {
        const char* file_name;
        std::string path;
    } s{file_name, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<search*>(data);
            if (!info->dlpi_name || !*info->dlpi_name ||
                std::strcmp(last_component(info->dlpi_name), s->file_name) != 0)
                return 0;
            s->path = info->dlpi_name;
            return 1;
        },
        &s);
    return s.path;
}

// A handle to a module already in the process; RTLD_NOLOAD never loads one. The reference this
// takes is given back: the module stays loaded by whoever loaded it.
void* already_loaded(const char* name) {
    void* handle = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle;
}

// Matched by the file or soname it was opened with, or else by the file name of any loaded
// object, however it was opened: a client loaded by its full path has no other name.
void* find_loaded_module(const char* file_name) {
    if (!file_name || !*file_name || std::strchr(file_name, '/'))
        return nullptr;
    if (void* handle = already_loaded(file_name))
        return handle;
    const std::string path = loaded_path_named(file_name);
    return path.empty() ? nullptr : already_loaded(path.c_str());
}

void* find_symbol(void* module, const char* name) {
    return dlsym(module, name);
}

}  // namespace

module_services os_module_services() {
    return {find_loaded_module, find_symbol};
}

}  // namespace gc
