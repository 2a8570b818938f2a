// vesselsim: runs a scenario of vessel modules in the headless stand-in simulator.
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

int main(int argc, char** argv) {
    // A module that crashes is named, by every command.
    sim::install_crash_report("vesselsim");
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
