// A file written whole or not at all. The bytes go to a temporary file beside the target; only
// once every one of them is written and on disk does it replace the target, by a rename, so that
// a failed or interrupted write leaves the old file as it was. The new file keeps the old one's
// permissions (a new one gets the usual 0666 less the umask).
//
// A link is followed: the file it names is replaced and the link stays. A target that exists and
// is not a regular file (a device, a pipe) cannot be renamed onto: it is written directly, every
// write checked, so that a pipe receives rows as they come.
//
// On Windows the rename is MoveFileEx, replacing the target; there is no owner or mode to keep
// and no link is followed (docs/windows.md).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // An output never committed is abandoned: its temporary file is removed.
    ~OutputFile();

    // Prepares the output. False with "cannot write TARGET: reason" when the target is a folder
    // or read-only, or its folder takes no new file.
    bool open(const std::string& target, std::string& error);

    // A file for writers that open files by name (the plot and picture libraries): a temporary
    // file whose content commit() puts in place of the target. Empty before open().
    const std::string& by_name_path() const { return by_name_; }

    // Appends bytes; false once a write has failed. The first failure is kept in error().
    bool write(std::string_view bytes);
    int error() const { return first_error_; }

    // Puts the written bytes in place of the target. False with "cannot write TARGET: reason"
    // when a write, the sync or the rename failed; a replaced file is then as it was.
    bool commit(std::string& error);

    // Removes the temporary files; a replaced file stays as it was.
    void abandon();

    // Between open() and commit() or abandon().
    bool is_open() const { return file_ != nullptr; }

  private:
    // What opening does first on every system: leave any earlier output, refuse an empty name.
    bool begin(const std::string& target, std::string& error);
    bool fail(int err, std::string& error);
    bool copy_by_name_file();

    std::string shown_;    // the target as the user named it, for messages
    std::string target_;   // the file replaced: a link's target, not the link
    std::string temp_;     // the temporary file beside it; empty when written in place
    std::string by_name_;  // where by-name writers write
    std::FILE* file_ = nullptr;
    int first_error_ = 0;  // errno of the first failed write
};

// Writes text as the whole content of target, through an OutputFile.
bool write_file_whole(const std::string& target, std::string_view text, std::string& error);

// False for an existing file the user may not replace: one that is not writable, or that is
// marked read-only (no write permission for anyone, which holds for the superuser here too).
bool replaceable(const std::string& path);

SIM_API_END
}  // namespace sim
