// The crash report on Windows: a structured exception that nothing handles (an access
// violation, a division by zero, an illegal instruction, a stack overflow) while a module's code
// runs ends the process with the same one-line report as a fatal signal does on POSIX systems.
// Another unhandled exception goes on to the filter there was before.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "crash_context.h"
#include "sim/crash_report.h"
#include "sim/world.h"

namespace sim {

namespace {

std::function<void(const std::string&)> g_hook;
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

// The report of the module whose code runs, or an empty line. Into a buffer of its own: the
// heap may be what the module broke.
const char* compose(DWORD code, char (&line)[1024]) {
    line[0] = '\0';
    World* w = World::current();
    Vessel* v = w ? w->caller() : nullptr;
    if (v && w->caller_call()) {
        const double t = w->clock.t_s;
        std::snprintf(line, sizeof line, "module %s%s%s%s: vessel %s: %s crashed at t = %.3f s: %s",
                      v->class_name().c_str(), v->module() ? " (" : "",
                      v->module() ? v->module()->path.c_str() : "", v->module() ? ")" : "",
                      v->name().c_str(), w->caller_call(), std::isfinite(t) ? t : 0.0,
                      exception_words(code));
    } else if (crash::library) {
        std::snprintf(line, sizeof line, "module %s crashed while %s: %s", crash::library->c_str(),
                      crash::activity, exception_words(code));
    }
    return line;
}

LONG WINAPI on_exception(EXCEPTION_POINTERS* info) {
    static char line[1024];
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    if (!*compose(code, line))
        return g_previous ? g_previous(info) : EXCEPTION_CONTINUE_SEARCH;
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", crash::program, line);
    std::fflush(stderr);
    if (g_hook) {
        try {
            g_hook(line);
        } catch (...) {
        }
    }
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), kExitModuleCrash);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void install_crash_report(const char* program) {
    crash::program = program;
    g_previous = SetUnhandledExceptionFilter(on_exception);
}

void set_crash_hook(std::function<void(const std::string& report)> hook) {
    g_hook = std::move(hook);
}

std::string crash_report_line(int code) {
    char line[1024];
    return compose(static_cast<DWORD>(code), line);
}

}  // namespace sim
