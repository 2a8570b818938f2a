// vesselsim: runs a scenario of vessel modules in the headless stand-in simulator.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "apps/commands.h"
#include "sim/crash_report.h"

namespace {

// A report that could not be written (a full disk, a closed pipe) is the command's failure, once
// its files are done: no outcome is lost without a word.
bool streams_written() {
    std::cout.flush();
    std::cerr.flush();
    const bool out_ok = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    const bool err_ok = std::cerr.good() && std::fflush(stderr) == 0 && !std::ferror(stderr);
    if (!out_ok && err_ok)
        std::cerr << app::kProgramPrefix
                  << "the standard output could not be written: " << std::strerror(errno) << "\n";
    return out_ok && err_ok;
}

}  // namespace

int main(int argc, char** argv) {
    // A module that crashes is named, by every command.
    sim::install_crash_report("vesselsim");
    const int status = app::run_command_line(argc, argv);
    if (!streams_written() && status == app::kExitOk)
        return app::kExitFailure;
    return status;
}
