// vesselsim: runs a scenario of vessel modules in the headless stand-in simulator.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "apps/describe.h"
#include "apps/montecarlo_command.h"
#include "apps/output_paths.h"
#include "apps/run_loop.h"
#include "apps/run_options.h"
#include "apps/version.h"
#include "sim/crash_report.h"

namespace {

int dispatch(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "vesselsim " << app::kVersion << "\n";
        return app::kExitOk;
    }
    if (argc > 1 && std::string(argv[1]) == "describe")
        return app::describe_command(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "montecarlo")
        return app::montecarlo_command(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "montecarlo-merge")
        return app::montecarlo_merge_command(argc, argv);
    app::RunOptions options;
    switch (app::parse_command_line(argc, argv, options, std::cout, std::cerr)) {
        case app::ParseOutcome::done:
            return app::kExitOk;
        case app::ParseOutcome::usage_error:
            return app::kExitUsage;
        case app::ParseOutcome::run:
            break;
    }
    try {
        return app::run(options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "vesselsim: " << e.what() << "\n";
        return app::kExitFailure;
    }
}

// A report that could not be written (a full disk, a closed pipe) is the command's failure, once
// its files are done: no outcome is lost without a word.
bool streams_written() {
    std::cout.flush();
    std::cerr.flush();
    const bool out_ok = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    const bool err_ok = std::cerr.good() && std::fflush(stderr) == 0 && !std::ferror(stderr);
    if (!out_ok && err_ok)
        std::cerr << "vesselsim: the standard output could not be written: " << std::strerror(errno)
                  << "\n";
    return out_ok && err_ok;
}

}  // namespace

int main(int argc, char** argv) {
    // A module that crashes is named, by every command.
    sim::install_crash_report("vesselsim");
    const int status = dispatch(argc, argv);
    if (!streams_written() && status == app::kExitOk)
        return app::kExitFailure;
    return status;
}
