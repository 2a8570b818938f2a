// What the stand-in asks of the operating system to load module libraries and to tell files
// apart, one file per system: platform_posix.cpp, platform_windows.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "host/handles.h"

namespace sim::platform {

// The file name ending of a module library: ".so", or ".dll" on Windows.
extern const char* const library_suffix;
// What joins a folder and a file name: "/", or "\\" on Windows (which takes "/" too).
extern const char* const path_separator;

// What tells one existing file from another however it is named: device and inode, or volume
// and file index on Windows.
struct FileId {
    std::uint64_t device = 0, index = 0;
    bool operator==(const FileId&) const = default;
};
// False when there is no such file or it cannot be examined.
bool file_id(const std::string& path, FileId& id);

// Loads the library at path with every symbol bound now; null with the system's reason in why.
void* load_library(const std::string& path, std::string& why);
// An exported symbol of the library, or null.
void* library_symbol(void* library, const char* name);
void unload_library(void* library);
// The file a loaded library came from; empty when the system does not say.
std::string library_file(HINSTANCE library);

// The path names something that is not a plain file: a folder, a device, a pipe or a link
// (which is not followed). False when nothing is there.
bool exists_as_other_than_plain_file(const std::string& path);

}  // namespace sim::platform
