// A study's CSV as a whole: its identity, its header and its rows, read back for a merge or a
// resume; and the text of a finished study, its rows in run order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apps/montecarlo/csv.h"
#include "apps/montecarlo/identity.h"

namespace app {

struct StudyFile {
    StudyIdentity identity;
    std::vector<StudyRow> rows;  // in the order of the file
    // The last line had no line end: a study stopped while writing it. Not among the rows.
    bool cut_last_line = false;
    std::uint64_t whole_lines_bytes = 0;  // the file's length without that cut line
};

// Reads a study CSV: the identity (of this program's version), the header, then rows judged by
// the identity's criteria. False with "PATH: what is wrong" (and the line's number when a line
// is at fault).
bool read_study_file(const std::string& path, StudyFile& f, std::string& error);

// The identity, the header and the rows, a line each.
std::string study_text(const StudyIdentity& id, const std::vector<StudyRow>& rows);

// The runs of [first, end) that are not among the rows, and those that are there more than
// once; written as "4, 7-9".
std::string missing_runs(const std::vector<StudyRow>& rows, int first, int end, int& count);
std::string repeated_runs(const std::vector<StudyRow>& rows, int& count);
// The first row whose run is outside the range (a shard's runs), or null.
const StudyRow* stray_row(const std::vector<StudyRow>& rows, const RunRange& range);

}  // namespace app

namespace app {

// The CSV of a study in flight: each row appended with one write as its run ends, so that a
// study stopped at any moment leaves every finished run in the file. The study holds an
// exclusive lock on the file from before it reads or writes it to its end, so that a second
// study or resume on the same file is refused instead of mixing or cutting rows.
class StudyAppender {
  public:
    StudyAppender() = default;
    StudyAppender(const StudyAppender&) = delete;
    StudyAppender& operator=(const StudyAppender&) = delete;
    ~StudyAppender();

    // A new file holding the text (the identity and the header); what the file held is
    // replaced only once the lock is held.
    bool start(const std::string& path, const std::string& text, std::string& error);
    // Locks the file of a study to resume, before it is read.
    bool lock(const std::string& path, std::string& error);
    // The locked file cut back to its first keep_bytes (its whole lines).
    bool resume(std::uint64_t keep_bytes, std::string& error);
    bool append(const std::string& line, std::string& error);

  private:
    bool open_locked(const std::string& path, int create, std::string& error);
    std::string path_;
    int fd_ = -1;
};

}  // namespace app
