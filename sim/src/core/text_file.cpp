#include "sim/text_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

namespace sim {

namespace {

constexpr std::size_t kExcerptChars = 80;

bool cannot(const std::string& path, const std::string& why, std::string& error) {
    error = path + ": cannot read the file: " + why;
    return false;
}

// Why the file at path is not one to read as text, or empty.
std::string not_a_text_file(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return "it is a folder";
    if (!S_ISREG(st.st_mode))
        return "it is not a regular file";
    return "";
}

}  // namespace

bool open_text_file(const std::string& path, std::ifstream& in, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return cannot(path, std::strerror(errno), error);
    if (std::string why = not_a_text_file(st); !why.empty())
        return cannot(path, why, error);
    in.open(path, std::ios::binary);
    if (!in)
        return cannot(path, std::strerror(errno), error);
    return true;
}

bool read_text_file(const std::string& path, std::size_t max_bytes, std::string& text,
                    std::string& error) {
    std::ifstream in;
    if (!open_text_file(path, in, error))
        return false;
    // In pieces to the end, not into a buffer of the limit's size: a scenario is a few kilobytes
    // and is read once per run. A file that grew past the limit since it was looked at is caught.
    text.clear();
    char piece[1 << 16];
    while (in) {
        in.read(piece, sizeof piece);
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > max_bytes)
            return cannot(path, "it is larger than " + std::to_string(max_bytes >> 20) + " MiB",
                          error);
    }
    if (in.bad())
        return cannot(path, "a read failed", error);
    return true;
}

LineRead read_line(std::istream& in, std::string& line) {
    line.clear();
    bool any = false;
    for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
        any = true;
        if (c == '\n')
            return LineRead::line;
        if (line.size() == kMaxLineBytes) {
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            line.clear();
            return LineRead::too_long;
        }
        line.push_back(static_cast<char>(c));
    }
    return any ? LineRead::unterminated : LineRead::end;
}

std::string excerpt(std::string_view text) {
    if (text.size() <= kExcerptChars)
        return std::string(text);
    return std::string(text.substr(0, kExcerptChars)) + "... (" + std::to_string(text.size()) +
           " characters)";
}

}  // namespace sim
