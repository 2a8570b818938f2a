// `vesselsim describe CLASS`: creates one vessel of a class and prints what its module declared
// to the simulator, then the effect of keys pressed on it.
#pragma once

#include <string>
#include <vector>

namespace app {

struct DescribeOptions {
    std::string class_name;
    std::string
        module_dir;  // the --modules folders, colon-separated (apps/common/module_folders.h)
    std::vector<std::string> keys;  // as the user types them: "Ctrl+G", "P"
};

// Exit status: 0 on success, 1 when the class cannot be created, 2 for a key it cannot read.
int run_describe(const DescribeOptions& options);

std::string describe_usage_line();

// `vesselsim describe CLASS [--key KEY]... [--modules DIR[:DIR...]]...`: parses and runs it.
// Returns the exit status (2 on a usage error).
int describe_command(int argc, const char* const* argv);

}  // namespace app
