#include "apps/commands.h"

#include <exception>
#include <iostream>
#include <string>

#include "apps/common/version.h"
#include "apps/describe.h"
#include "apps/montecarlo/command.h"
#include "apps/run/command.h"
#include "apps/run/outputs.h"

namespace app {

const ProgramCommands& program_commands() {
    static const ProgramCommands program{
        {
            {"run", "run a scenario file"},
            {"describe",
             "create one vessel of a class and print what it declares and what keys do"},
            {"montecarlo", "run a scenario many times over dispersed starts: the landing envelope"},
            {"montecarlo-merge", "combine the CSV files of Monte Carlo shards into one report"},
        },
        usage_line() + "\n" + describe_usage_line() + "\n" + montecarlo_usage() + "\n" +
            montecarlo_merge_usage() + "\nusage: vesselsim --version\n",
    };
    return program;
}

int run_command_line(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (argc == 2 && command == "--version") {
        std::cout << "vesselsim " << kVersion << "\n";
        return kExitOk;
    }
    if (command == "describe")
        return describe_command(argc, argv);
    if (command == "montecarlo")
        return montecarlo_command(argc, argv);
    if (command == "montecarlo-merge")
        return montecarlo_merge_command(argc, argv);
    const ProgramCommands& program = program_commands();
    if (!command.empty() && command[0] != '-' && command != "run") {
        std::string names;
        for (const auto& c : program.commands)
            names += (names.empty() ? "" : ", ") + std::string(c.name);
        return report_usage_error(
            std::cerr, "unknown command " + command + " (the commands are " + names + ")",
            usage_line());
    }
    RunOptions options;
    switch (parse_command_line(argc, argv, options, std::cout, std::cerr, program)) {
        case ParseOutcome::done:
            return kExitOk;
        case ParseOutcome::usage_error:
            return kExitUsage;
        case ParseOutcome::run:
            break;
    }
    // Its files are checked before anything is flown or opened for writing.
    if (std::string why = check_outputs(options); !why.empty())
        return report_usage_error(std::cerr, why, usage_line());
    try {
        return run(options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        return report_failure(std::cerr, e.what());
    }
}

}  // namespace app
