// What the program asks of the operating system about files, one file per system:
// platform_files_posix.cpp, platform_files_windows.cpp.
#pragma once

#include <string>
#include <vector>

namespace app {

// What separates the folders of a list: ':', or ';' on Windows, where ':' follows a drive letter.
extern const char folder_list_separator;
// How the usage lines write such a list.
extern const char* const folder_list_usage;

// The file name ending of a module library: ".so", or ".dll" on Windows.
extern const char* const module_library_suffix;

// The program's own file; empty when the system does not say.
std::string program_file();

// The files of the libraries loaded into the program, by their full paths.
std::vector<std::string> loaded_library_files();

// True when both paths name one existing file, by its identity on disk (links followed): device
// and inode, or volume and file index on Windows. False when either does not exist.
bool same_existing_file(const std::string& a, const std::string& b);

// The path names something that is not a plain file: a folder, a device, a pipe or a link
// (which is not followed). False when nothing is there.
bool exists_as_other_than_plain_file(const std::string& path);

}  // namespace app
