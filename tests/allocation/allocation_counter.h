// Counts the heap allocations that a module's own code makes while the stand-in runs one of its
// callbacks. The test binary replaces the global allocation functions; an allocation counts when
// a vessel of the watched class is the running callback's vessel and the nearest caller outside
// the C++ and C runtime libraries is that module's library (not the stand-in, which may build
// event texts on a module's behalf).
#pragma once

#include <string>

namespace allocation {

// Watches the vessels of one class (empty: none) and starts the count again.
void watch(const std::string& class_name);
long module_allocations();

}  // namespace allocation
