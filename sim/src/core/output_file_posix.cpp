// Opening and committing an output file on POSIX systems: mkstemp beside the target, the old
// file's owner and mode kept, fsync, then rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "output_file_system.h"
#include "sim/output_file.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// A new file private to us (mkstemp's 0600) at pattern, which ends in XXXXXX; -1 on failure.
int make_temp(std::string& pattern) {
    return ::mkstemp(pattern.data());
}

// The file a link names, so that the link itself stays; the path unchanged otherwise.
std::string followed(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    std::error_code ec;
    fs::path real = fs::weakly_canonical(path, ec);
    return ec ? path : real.string();
}

}  // namespace

bool replaceable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return true;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool OutputFile::open(const std::string& target, std::string& error) {
    if (!begin(target, error))
        return false;
    target_ = followed(target);
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return fail(EISDIR, error);
    if (exists && !replaceable(target_)) {
        error = "cannot write " + shown_ + ": the file is read-only; it is not replaced";
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe: written in place; by-name writers go through a file of their own.
        file_ = std::fopen(target_.c_str(), "wb");
        if (!file_)
            return fail(errno, error);
        std::error_code ec;
        by_name_ = (fs::temp_directory_path(ec) / "vesselsim-output.XXXXXX").string();
        int fd = make_temp(by_name_);
        if (fd < 0) {
            by_name_.clear();
            return fail(errno, error);
        }
        ::close(fd);
        return true;
    }
    temp_ = target_ + ".XXXXXX";
    int fd = make_temp(temp_);
    if (fd < 0) {
        int err = errno;
        temp_.clear();
        return fail(err, error);
    }
    mode_t mode = 0;
    if (exists) {
        mode = st.st_mode & 07777;
        // Kept where we may: only the superuser gives a file away.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    file_ = ::fchmod(fd, mode) == 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file_) {
        int err = errno;
        ::close(fd);
        return fail(err, error);
    }
    by_name_ = temp_;
    return true;
}

int output_system::sync(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0 ? 0 : errno;
}

int output_system::replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace sim
