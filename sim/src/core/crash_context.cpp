#include "crash_context.h"

namespace sim {

namespace crash {
const char* program = "vesselsim";
const std::string* library = nullptr;
const char* activity = nullptr;
}  // namespace crash

LibraryScope::LibraryScope(const std::string& path, const char* activity)
    : previous_path_(crash::library), previous_activity_(crash::activity) {
    crash::library = &path;
    crash::activity = activity;
}

LibraryScope::~LibraryScope() {
    crash::library = previous_path_;
    crash::activity = previous_activity_;
}

}  // namespace sim
