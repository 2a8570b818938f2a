// A module that crashes is named. A fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT)
// raised while a module's code runs (a call into it through call_module, or its library being
// loaded) ends the process with kExitModuleCrash, after standard output is flushed, one line is
// written on standard error and the hook has put the program's outputs in place:
//
//   PROGRAM: module CLASS (FILE): vessel NAME: CALLBACK crashed at t = T s: SIGSEGV (...)
//
// A signal raised anywhere else goes on to the handler that was there before.
#pragma once

#include <functional>
#include <string>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

// The exit status of a program whose module crashed.
constexpr int kExitModuleCrash = 3;

// Installs the handlers; program starts the report's line. Once per process.
void install_crash_report(const char* program);

// Called with the report (without the program's name) once it is printed, to finish the
// program's outputs. The module's state is broken by then: the hook must not call into it.
void set_crash_hook(std::function<void(const std::string& report)> hook);

// The report for a signal raised now, as the handler would word it; empty when no module's code
// is running.
std::string crash_report_line(int signal);

// A module callback that has not returned once `seconds` of wall time have passed from now (0:
// no limit) ends the process like a crash, with exit status 1 and the line
//
//   PROGRAM: module CLASS (FILE): vessel NAME: CALLBACK hung at t = T s: no return within the
//   wall time limit of S s
//
// after the hook has put the outputs in place. Checked ten times a second past the limit: a
// call found running at two checks in a row is hung. Between callbacks the program itself is to
// stop at its next frame. POSIX systems only.
void arm_hang_report(double seconds);

// The exit status of the report the hook is called for: kExitModuleCrash after a crash, 1 after
// a hang.
int reported_exit_status();

SIM_API_END
}  // namespace sim
