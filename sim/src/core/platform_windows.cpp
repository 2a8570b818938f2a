#include <windows.h>

#include <string>

#include "platform.h"

namespace sim::platform {

const char* const path_separator = "\\";
const char* const library_suffix = ".dll";

namespace {

// The system's words for an error code, without the line end and full stop it ends with.
std::string system_message(DWORD code) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

// Windows' loader takes backslashes only.
std::string native(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

}  // namespace

bool file_id(const std::string& path, FileId& id) {
    // FILE_FLAG_BACKUP_SEMANTICS opens folders too; no access is asked, only identity.
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (known)
        id = {info.dwVolumeSerialNumber,
              (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return known;
}

void* load_library(const std::string& path, std::string& why) {
    // No message box for a library that is missing or broken: the error comes back as text.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(native(path).c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previous);
    if (!module)
        why = system_message(code);
    return reinterpret_cast<void*>(module);
}

void* library_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unload_library(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

std::string library_file(HINSTANCE library) {
    char file[MAX_PATH + 1] = {};
    if (!library)
        return "";
    const DWORD n = GetModuleFileNameA(library, file, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(file, n) : "";
}

bool exists_as_other_than_plain_file(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

}  // namespace sim::platform
