#include "apps/montecarlo/study_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "apps/common/fd_write.h"
#include "sim/text_file.h"

namespace app {

namespace {

// "4, 7-9": spans of numbers added in order; the first ten spans, then how many numbers more.
class SpanText {
  public:
    void add(int lo, int hi) {
        count_ += hi - lo + 1;
        if (shown_ == kShown) {
            more_ += hi - lo + 1;
            return;
        }
        text_ += (text_.empty() ? "" : ", ") + std::to_string(lo) +
                 (hi > lo ? "-" + std::to_string(hi) : "");
        ++shown_;
    }
    std::string text() const {
        return more_ ? text_ + " and " + std::to_string(more_) + " more" : text_;
    }
    int count() const { return count_; }

  private:
    static constexpr int kShown = 10;
    std::string text_;
    int shown_ = 0, count_ = 0, more_ = 0;
};

// The rows' run numbers in order.
std::vector<int> sorted_runs(const std::vector<StudyRow>& rows) {
    std::vector<int> runs;
    runs.reserve(rows.size());
    for (const StudyRow& r : rows) runs.push_back(r.dispersion.run);
    std::sort(runs.begin(), runs.end());
    return runs;
}

}  // namespace

namespace {

// The conditions the study's seed gives the row's run, or why the row's are not those.
std::string conditions_difference(const StudyIdentity& id, const Dispersion& got) {
    if (got.run >= id.runs)
        return "run " + std::to_string(got.run) + " is not among the study's " +
               std::to_string(id.runs) + " runs";
    const Dispersion want = disperse(id.ranges, id.seed, got.run);
    const StartOverrides &a = want.start, &b = got.start;
    if (want.seed != got.seed || want.dt_s != got.dt_s || a.height_scale != b.height_scale ||
        a.speed_scale != b.speed_scale || a.wind_m_s != b.wind_m_s ||
        a.wind_from_deg != b.wind_from_deg || a.turn_deg != b.turn_deg ||
        a.turn_axis_deg != b.turn_axis_deg || a.ground_offset_m != b.ground_offset_m)
        return "run " + std::to_string(got.run) +
               "'s seed or conditions are not those the study's seed gives it";
    return "";
}

// Identity lines enough for every item, with room for items of later versions to be refused
// by name rather than by count.
constexpr std::size_t kMaxIdentityLines = 64;

}  // namespace

bool read_study_file(const std::string& path, StudyFile& f, std::string& error) {
    f = {};
    std::ifstream in;
    if (!sim::open_text_file(path, in, error))
        return false;
    std::size_t number = 0;
    auto fail = [&](std::size_t line, const std::string& why) {
        error = path + (line ? ":" + std::to_string(line) : std::string()) + ": " + why;
        return false;
    };
    // The next whole line; false at the end, or at a cut last line (which is no line).
    std::string line;
    bool too_long = false;
    auto next = [&] {
        const sim::LineRead got = sim::read_line(in, line);
        if (got == sim::LineRead::end)
            return false;
        if (got == sim::LineRead::unterminated) {
            f.cut_last_line = true;
            return false;
        }
        ++number;
        too_long = got == sim::LineRead::too_long;
        f.whole_lines_bytes += line.size() + 1;
        return true;
    };
    auto too_long_line = [&] {
        return fail(number,
                    "a line longer than " + std::to_string(sim::kMaxLineBytes) + " characters");
    };
    std::vector<std::string> identity;
    bool more = next();
    while (more && !too_long && line.rfind("#", 0) == 0 && identity.size() < kMaxIdentityLines) {
        identity.push_back(line);
        more = next();
    }
    if (too_long)
        return too_long_line();
    std::string why;
    if (identity.size() == kMaxIdentityLines && more && line.rfind("#", 0) == 0)
        return fail(number, "more than " + std::to_string(kMaxIdentityLines) + " identity lines");
    if (!parse_identity(identity, f.identity, why))
        return fail(0, why);
    if (!more || line != csv_header())
        return fail(identity.size() + 1, "not the header of a montecarlo CSV");
    // A study's rows are its shard's runs, each once: no more are read.
    const RunRange range = shard_runs(f.identity.runs, f.identity.shard_k, f.identity.shard_n);
    const auto most_rows = static_cast<std::size_t>(range.end - range.first);
    while (next()) {
        if (too_long)
            return too_long_line();
        if (f.rows.size() == most_rows)
            return fail(number, "more rows than the " + std::to_string(most_rows) +
                                    " runs of its shard (runs repeated?)");
        StudyRow row;
        if (!parse_csv_line(line, f.identity.criteria, row, why))
            return fail(number, why);
        if (std::string differs = conditions_difference(f.identity, row.dispersion);
            !differs.empty())
            return fail(number, differs);
        f.rows.push_back(std::move(row));
    }
    if (in.bad())
        return fail(0, "cannot read the file: a read failed");
    return true;
}

std::string study_text(const StudyIdentity& id, const std::vector<StudyRow>& rows) {
    std::string text = identity_text(id) + csv_header() + "\n";
    for (const StudyRow& r : rows) text += csv_line(r, id.criteria) + "\n";
    return text;
}

std::string missing_runs(const std::vector<StudyRow>& rows, int first, int end, int& count) {
    // The gaps between the runs present: the work is per row, not per run of the study.
    SpanText missing;
    int next = first;
    for (int run : sorted_runs(rows)) {
        if (run < next || run >= end)
            continue;
        if (run > next)
            missing.add(next, run - 1);
        next = run + 1;
    }
    if (next < end)
        missing.add(next, end - 1);
    count = missing.count();
    return missing.text();
}

const StudyRow* stray_row(const std::vector<StudyRow>& rows, const RunRange& range) {
    for (const StudyRow& row : rows)
        if (row.dispersion.run < range.first || row.dispersion.run >= range.end)
            return &row;
    return nullptr;
}

std::string repeated_runs(const std::vector<StudyRow>& rows, int& count) {
    const std::vector<int> runs = sorted_runs(rows);
    SpanText twice;
    int lo = 0, hi = -2;  // the span of repeated runs being gathered
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (runs[i] != runs[i - 1] || runs[i] == hi)
            continue;
        if (runs[i] != hi + 1) {
            if (hi >= lo)
                twice.add(lo, hi);
            lo = runs[i];
        }
        hi = runs[i];
    }
    if (hi >= lo)
        twice.add(lo, hi);
    count = twice.count();
    return twice.text();
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
