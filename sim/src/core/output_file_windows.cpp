// Opening and committing an output file on Windows: a new file beside the target, flushed to
// the disk, then moved onto the target in one step (MoveFileEx, replacing it). Windows has no
// owner and mode to carry over as POSIX has, and links are not followed: the target is the
// file named.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "output_file_system.h"
#include "sim/output_file.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// errno of a Windows error code, for the message.
int errno_of(DWORD code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
    }
    return EIO;
}

// A new file of our own at pattern + a six-letter suffix, opened for binary writes; -1 on
// failure with errno set.
int make_temp(std::string& path, const std::string& pattern) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        const unsigned mix = (GetCurrentProcessId() * 7919u + GetTickCount() + ++counter * 104729u);
        std::snprintf(suffix, sizeof suffix, ".%06X", mix & 0xFFFFFFu);
        path = pattern + suffix;
        int fd = -1;
        if (_sopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYNO,
                     _S_IREAD | _S_IWRITE) == 0)
            return fd;
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

}  // namespace

bool replaceable(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    return (attributes & FILE_ATTRIBUTE_READONLY) == 0 && _access(path.c_str(), 2) == 0;
}

bool OutputFile::open(const std::string& target, std::string& error) {
    if (!begin(target, error))
        return false;
    target_ = target;
    std::error_code ec;
    const fs::file_status st = fs::status(target_, ec);
    const bool exists = fs::exists(st);
    if (fs::is_directory(st))
        return fail(EISDIR, error);
    if (exists && !replaceable(target_)) {
        error = "cannot write " + shown_ + ": the file is read-only; it is not replaced";
        return false;
    }
    if (exists && !fs::is_regular_file(st)) {
        // A device: written in place; by-name writers go through a file of their own.
        file_ = std::fopen(target_.c_str(), "wb");
        if (!file_)
            return fail(errno, error);
        int fd = make_temp(by_name_, (fs::temp_directory_path(ec) / "vesselsim-output").string());
        if (fd < 0) {
            by_name_.clear();
            return fail(errno, error);
        }
        _close(fd);
        return true;
    }
    int fd = make_temp(temp_, target_);
    if (fd < 0) {
        int err = errno;
        temp_.clear();
        return fail(err, error);
    }
    file_ = _fdopen(fd, "wb");
    if (!file_) {
        int err = errno;
        _close(fd);
        return fail(err, error);
    }
    by_name_ = temp_;
    return true;
}

int output_system::sync(std::FILE* file) {
    return _commit(_fileno(file)) == 0 ? 0 : errno;
}

int output_system::replace(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return errno_of(GetLastError());
}

}  // namespace sim
