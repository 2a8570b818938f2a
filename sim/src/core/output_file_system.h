// What an output file asks of the operating system to commit itself: output_file_posix.cpp,
// output_file_windows.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace sim::output_system {

// The file's written bytes on the disk: 0, or the system's error number.
int sync(std::FILE* file);
// The file at from moved onto to in one step, replacing it: 0, or the error number.
int replace(const std::string& from, const std::string& to);

}  // namespace sim::output_system
