#include <windows.h>
// The list of a process's modules, after windows.h.
#include <psapi.h>

#include "apps/common/platform_files.h"

namespace app {

const char folder_list_separator = ';';
const char* const folder_list_usage = "DIR[;DIR...]";
const char* const module_library_suffix = ".dll";

namespace {

// Volume and file index of an existing file or folder; false when it cannot be opened.
bool identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return known;
}

std::string module_file(HMODULE module) {
    char file[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(module, file, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(file, n) : "";
}

}  // namespace

std::string program_file() {
    return module_file(nullptr);
}

std::vector<std::string> loaded_library_files() {
    std::vector<HMODULE> modules(256);
    DWORD needed = 0;
    HANDLE self = GetCurrentProcess();
    while (EnumProcessModules(self, modules.data(),
                              static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed) &&
           needed > modules.size() * sizeof(HMODULE))
        modules.resize(needed / sizeof(HMODULE));
    modules.resize(needed / sizeof(HMODULE));
    std::vector<std::string> files;
    const HMODULE program = GetModuleHandleA(nullptr);
    for (HMODULE m : modules)
        if (m != program)
            if (std::string file = module_file(m); !file.empty())
                files.push_back(file);
    return files;
}

bool same_existing_file(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return identity(a, ia) && identity(b, ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool exists_as_other_than_plain_file(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

}  // namespace app
