// What the crash report needs to know beyond the running callback: the module library being
// loaded or unloaded, whose constructors and destructors run inside dlopen and dlclose.
#pragma once

#include <string>

namespace sim {

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
