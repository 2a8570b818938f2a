// Reading the text files a user names (scenarios, the program's CSVs) within bounds: only
// regular files, so that a device or a pipe named by mistake is refused rather than read
// without end, and no file or line larger than a limit.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// The largest scenario file read, and the longest line of any file read.
constexpr std::size_t kMaxScenarioBytes = 16u << 20;  // 16 MiB
constexpr std::size_t kMaxLineBytes = 64u << 10;      // 64 KiB

// The whole content of a regular file of at most max_bytes. False with "PATH: cannot read the
// file: reason" otherwise.
bool read_text_file(const std::string& path, std::size_t max_bytes, std::string& text,
                    std::string& error);

// Opens a regular file for reading line by line. False with "PATH: cannot read the file:
// reason" otherwise.
bool open_text_file(const std::string& path, std::ifstream& in, std::string& error);

enum class LineRead { line, end, too_long, unterminated };

// The next line without its line end, of at most kMaxLineBytes; a longer one is not kept. The
// file's last line without a line end is read as unterminated (a writer stopped in it).
LineRead read_line(std::istream& in, std::string& line);

// A line as messages quote it: its first 80 characters, and "..." with its length when cut.
std::string excerpt(std::string_view text);

SIM_API_END
}  // namespace sim
