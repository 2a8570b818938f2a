// What the crash report needs to know beyond the running callback: the module library being
// loaded or unloaded, whose constructors and destructors run inside dlopen and dlclose.
#pragma once

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

}  // namespace sim
