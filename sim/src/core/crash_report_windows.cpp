// The crash report on Windows: a structured exception that nothing handles (an access
// violation, a division by zero, an illegal instruction, a stack overflow) while a module's code
// runs ends the process with the same one-line report as a fatal signal does on POSIX systems.
// Another unhandled exception goes on to the filter there was before.
#include <windows.h>

#include <cstdio>

#include "crash_context.h"
#include "sim/crash_report.h"

namespace sim {

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER g_previous = nullptr;

const char* exception_words(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return "EXCEPTION_ACCESS_VIOLATION (invalid memory access)";
        case EXCEPTION_STACK_OVERFLOW:
            return "EXCEPTION_STACK_OVERFLOW (stack overflow)";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return "EXCEPTION_INT_DIVIDE_BY_ZERO (arithmetic error)";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
            return "EXCEPTION_ILLEGAL_INSTRUCTION (illegal instruction)";
    }
    return "a fatal exception";
}

LONG WINAPI on_exception(EXCEPTION_POINTERS* info) {
    // Not on the stack, which an overflow has used up; a line with a report ends the process,
    // so it is never put together twice.
    static ReportLine line;
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    compose_report(exception_words(code), line);
    if (line.size() == 0)
        return g_previous ? g_previous(info) : EXCEPTION_CONTINUE_SEARCH;
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", crash::program, line.text());
    std::fflush(stderr);
    call_crash_hook(line.text());
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), kExitModuleCrash);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void install_crash_report(const char* program) {
    crash::program = program;
    g_previous = SetUnhandledExceptionFilter(on_exception);
}

std::string crash_report_line(int code) {
    ReportLine line;
    compose_report(exception_words(static_cast<DWORD>(code)), line);
    return line.text();
}

// No watchdog here: a run on Windows stops at its wall time limit between frames only.
void arm_hang_report(double) {}

}  // namespace sim
