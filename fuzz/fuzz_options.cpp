// vesselsim's option parsing: the input is the command line, its arguments separated by NUL
// bytes. Parsing never runs anything; it returns an outcome and writes help or one error.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "apps/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args = {"vesselsim"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty())
        args.push_back(current);
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    app::RunOptions options;
    std::ostringstream out, err;
    app::ParseOutcome r = app::parse_command_line(static_cast<int>(args.size()), argv.data(),
                                                  options, out, err, app::program_commands());
    if (r == app::ParseOutcome::usage_error && err.str().empty())
        __builtin_trap();
    return 0;
}
