// The program's commands: each by its name, with its usage line for the help of the program as a
// whole.
#pragma once

#include "apps/run/options.h"

namespace app {

// The commands, and the usage lines of every command and of --version.
const ProgramCommands& program_commands();

// Runs the command the command line names (run when it names none). Returns the exit status.
int run_command_line(int argc, char** argv);

}  // namespace app
