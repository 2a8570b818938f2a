#include "apps/montecarlo_study_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "apps/fd_write.h"
#include "sim/text_file.h"

namespace app {

namespace {

// "4, 7-9" for the sorted numbers; the first ten spans, then how many more.
std::string spans(const std::vector<int>& sorted) {
    constexpr int kShown = 10;
    std::string text;
    int shown = 0;
    std::size_t i = 0;
    for (; i < sorted.size() && shown < kShown; ++shown) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) ++j;
        text += (text.empty() ? "" : ", ") + std::to_string(sorted[i]) +
                (j > i ? "-" + std::to_string(sorted[j]) : "");
        i = j + 1;
    }
    if (i < sorted.size())
        text += " and " + std::to_string(sorted.size() - i) + " more";
    return text;
}

}  // namespace

bool read_study_file(const std::string& path, StudyFile& f, std::string& error) {
    // A study's CSV has no size limit of its own: it grows with the runs.
    std::string text;
    if (!sim::read_text_file(path, std::numeric_limits<std::size_t>::max(), text, error))
        return false;
    f = {};
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            f.cut_last_line = true;
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    f.whole_lines_bytes = at;
    auto fail = [&](std::size_t line, const std::string& why) {
        error = path + (line ? ":" + std::to_string(line) : std::string()) + ": " + why;
        return false;
    };
    std::size_t header = 0;
    while (header < lines.size() && lines[header].rfind("#", 0) == 0) ++header;
    std::string why;
    if (!parse_identity({lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(header)},
                        f.identity, why))
        return fail(0, why);
    if (header == lines.size() || lines[header] != csv_header())
        return fail(header + 1, "not the header of a montecarlo CSV");
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        if (lines[i].size() > sim::kMaxLineBytes)
            return fail(i + 1,
                        "a line longer than " + std::to_string(sim::kMaxLineBytes) + " characters");
        StudyRow row;
        if (!parse_csv_line(lines[i], f.identity.criteria, row, why))
            return fail(i + 1, why);
        f.rows.push_back(std::move(row));
    }
    return true;
}

std::string study_text(const StudyIdentity& id, const std::vector<StudyRow>& rows) {
    std::string text = identity_text(id) + csv_header() + "\n";
    for (const StudyRow& r : rows) text += csv_line(r, id.criteria) + "\n";
    return text;
}

std::string missing_runs(const std::vector<StudyRow>& rows, int first, int end, int& count) {
    std::vector<bool> seen(static_cast<std::size_t>(std::max(0, end - first)));
    for (const StudyRow& r : rows)
        if (r.dispersion.run >= first && r.dispersion.run < end)
            seen[static_cast<std::size_t>(r.dispersion.run - first)] = true;
    std::vector<int> missing;
    for (int run = first; run < end; ++run)
        if (!seen[static_cast<std::size_t>(run - first)])
            missing.push_back(run);
    count = static_cast<int>(missing.size());
    return spans(missing);
}

const StudyRow* stray_row(const std::vector<StudyRow>& rows, const RunRange& range) {
    for (const StudyRow& row : rows)
        if (row.dispersion.run < range.first || row.dispersion.run >= range.end)
            return &row;
    return nullptr;
}

std::string repeated_runs(const std::vector<StudyRow>& rows, int& count) {
    std::vector<int> runs;
    for (const StudyRow& r : rows) runs.push_back(r.dispersion.run);
    std::sort(runs.begin(), runs.end());
    std::vector<int> twice;
    for (std::size_t i = 1; i < runs.size(); ++i)
        if (runs[i] == runs[i - 1] && (twice.empty() || twice.back() != runs[i]))
            twice.push_back(runs[i]);
    count = static_cast<int>(twice.size());
    return spans(twice);
}

}  // namespace app

namespace app {

namespace {

bool cannot_write(const std::string& path, std::string& error) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
}

}  // namespace

StudyAppender::~StudyAppender() {
    if (fd_ >= 0)
        ::close(fd_);
}

// Opens the file for appending and takes its lock; refused while another study holds it.
bool StudyAppender::open_locked(const std::string& path, int create, std::string& error) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | create, 0666);
    if (fd_ < 0)
        return cannot_write(path, error);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return cannot_write(path, error);
        error = path + " is in use by another study";
        return false;
    }
    return true;
}

bool StudyAppender::start(const std::string& path, const std::string& text, std::string& error) {
    if (!open_locked(path, O_CREAT, error))
        return false;
    if (::ftruncate(fd_, 0) != 0 || !write_all(fd_, text))
        return cannot_write(path, error);
    return true;
}

bool StudyAppender::lock(const std::string& path, std::string& error) {
    return open_locked(path, 0, error);
}

bool StudyAppender::resume(std::uint64_t keep_bytes, std::string& error) {
    if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(keep_bytes)) != 0)
        return cannot_write(path_, error);
    return true;
}

bool StudyAppender::append(const std::string& line, std::string& error) {
    if (!write_all(fd_, line + "\n"))
        return cannot_write(path_, error);
    return true;
}

}  // namespace app
