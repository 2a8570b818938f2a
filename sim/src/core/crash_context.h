// What the crash report needs to know beyond the running callback: the module library being
// loaded or unloaded, whose constructors and destructors run inside dlopen and dlclose; and the
// report's line, put together alike on every system, each of which only names what happened.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

// What a crash report names besides the running callback; set outside the crash, only read in it.
namespace crash {
extern const char* program;         // the program's name, first on the report's line
extern const std::string* library;  // the library being loaded or unloaded, if any
extern const char* activity;        // "loading" or "unloading"
}  // namespace crash

// Marks a library as being loaded ("loading") or unloaded ("unloading") for its lifetime.
class LibraryScope {
  public:
    LibraryScope(const std::string& path, const char* activity);
    ~LibraryScope();
    LibraryScope(const LibraryScope&) = delete;
    LibraryScope& operator=(const LibraryScope&) = delete;

  private:
    const std::string* previous_path_;
    const char* previous_activity_;
};

// The report is put together without allocating: the heap may be what the module broke.
class ReportLine {
  public:
    void add(const char* s);
    void add(const std::string& s) { add(s.c_str()); }
    // t with three decimals, as the other reports give it.
    void add_time(double t);
    const char* text() const { return text_; }
    std::size_t size() const { return n_; }

  private:
    char text_[1024] = {};
    std::size_t n_ = 0;
};

// The report of the module whose code runs (class, library, vessel, callback and time) or of
// the library being loaded or unloaded, ending with what happened; nothing when no module's code
// runs.
// `verb` says what the callback did: " crashed" or " hung".
void compose_report(const char* what_happened, ReportLine& line, const char* verb = " crashed");

// The exit status the running report ends with.
extern int g_report_exit_status;

// Hands the report to the hook of set_crash_hook, if there is one.
void call_crash_hook(const char* report);

}  // namespace sim
