// The parts of an output file that are the same on every system; opening, and what committing
// asks of the system, are in output_file_posix.cpp and output_file_windows.cpp.
#include "sim/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output_file_system.h"

namespace sim {

OutputFile::~OutputFile() {
    abandon();
}

bool OutputFile::begin(const std::string& target, std::string& error) {
    abandon();
    shown_ = target;
    first_error_ = 0;
    if (target.empty()) {
        error = "cannot write a file with an empty name";
        return false;
    }
    return true;
}

bool OutputFile::fail(int err, std::string& error) {
    error = "cannot write " + shown_ + ": " + std::strerror(err ? err : EIO);
    abandon();
    return false;
}

bool OutputFile::write(std::string_view bytes) {
    if (first_error_ == 0 && file_ &&
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        first_error_ = errno ? errno : EIO;
    return first_error_ == 0 && file_;
}

// The bytes a by-name writer left in its own file, into a target written in place.
bool OutputFile::copy_by_name_file() {
    std::FILE* in = std::fopen(by_name_.c_str(), "rb");
    if (!in) {
        first_error_ = errno;
        return false;
    }
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0 && write({buffer, n})) {
    }
    if (std::ferror(in) && first_error_ == 0)
        first_error_ = EIO;
    std::fclose(in);
    return first_error_ == 0;
}

void OutputFile::abandon() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    if (!by_name_.empty() && by_name_ != temp_)
        std::remove(by_name_.c_str());
    if (!temp_.empty())
        std::remove(temp_.c_str());
    temp_.clear();
    by_name_.clear();
}

bool write_file_whole(const std::string& target, std::string_view text, std::string& error) {
    OutputFile out;
    if (!out.open(target, error))
        return false;
    out.write(text);
    return out.commit(error);
}

bool OutputFile::commit(std::string& error) {
    if (!file_)
        return fail(EBADF, error);
    if (temp_.empty())
        copy_by_name_file();
    int err = first_error_;
    if (std::fflush(file_) != 0 && err == 0)
        err = errno;
    // A device or a pipe may take no sync; a regular file must reach the disk before it
    // replaces the old one.
    if (!temp_.empty() && err == 0)
        err = output_system::sync(file_);
    if (std::fclose(file_) != 0 && err == 0)
        err = errno;
    file_ = nullptr;
    if (err == 0 && !temp_.empty())
        err = output_system::replace(temp_, target_);
    if (err != 0)
        return fail(err, error);
    if (temp_.empty())
        std::remove(by_name_.c_str());
    temp_.clear();
    by_name_.clear();
    return true;
}

}  // namespace sim
