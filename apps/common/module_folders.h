// Where every command looks for module libraries: the folders of --modules (each option a
// colon-separated list, the options in the order given), then those of the VESSELSIM_MODULES
// environment variable (colon-separated), then the program's own modules folder. A class comes
// from the first of these three that has it; the program's own folder may thus be overridden.
// Two folders of the same one that both hold a class are an error (sim::find_module_file).
#pragma once

#include <string>
#include <vector>

#include "sim/module_loader.h"

namespace app {

// The environment variable that adds module folders.
constexpr const char* kModulesVariable = "VESSELSIM_MODULES";

// The program's own modules folder, relative to the program: lib/vesselsim/modules beside
// its bin/, in the build folder as in an installed prefix.
std::string default_module_dir();

// The folders of colon-separated lists, in order; empty entries are left out.
std::vector<std::string> split_folders(const std::string& list);

// The --modules values as one list: "a:b".
std::string join_folders(const std::vector<std::string>& lists);

// The search path of a command given --modules as one colon-separated list (empty for none).
sim::ModulePath module_path(const std::string& given);

// Empty when every folder of --modules and VESSELSIM_MODULES is a folder that can be read;
// otherwise one line saying which is not and why.
std::string check_module_folders(const std::string& given);

}  // namespace app
