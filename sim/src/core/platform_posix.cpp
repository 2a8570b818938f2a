#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include "platform.h"

namespace sim::platform {

const char* const path_separator = "/";
const char* const library_suffix = ".so";

bool file_id(const std::string& path, FileId& id) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

void* load_library(const std::string& path, std::string& why) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        why = reason ? reason : "unknown error";
    }
    return handle;
}

void* library_symbol(void* library, const char* name) {
    return dlsym(library, name);
}

void unload_library(void* library) {
    dlclose(library);
}

std::string library_file(HINSTANCE library) {
    link_map* map = nullptr;
    if (library && dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
        return map->l_name;
    return "";
}

bool exists_as_other_than_plain_file(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace sim::platform
