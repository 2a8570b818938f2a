// vesselsim: runs a scenario of vessel modules in the headless stand-in simulator.
#include <exception>
#include <iostream>

#include "apps/run_loop.h"
#include "apps/run_options.h"

int main(int argc, char** argv) {
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
