#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "crash_context.h"
#include "sim/crash_report.h"

namespace sim {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

struct sigaction g_previous[NSIG];

const char* signal_words(int sig) {
    switch (sig) {
        case SIGSEGV:
            return "SIGSEGV (invalid memory access)";
        case SIGBUS:
            return "SIGBUS (bus error)";
        case SIGFPE:
            return "SIGFPE (arithmetic error)";
        case SIGILL:
            return "SIGILL (illegal instruction)";
        case SIGABRT:
            return "SIGABRT (aborted)";
    }
    return "a fatal signal";
}

void write_all(int fd, const char* s, std::size_t n) {
    while (n > 0) {
        ssize_t k = ::write(fd, s, n);
        if (k <= 0)
            return;
        s += k;
        n -= static_cast<std::size_t>(k);
    }
}

void on_signal(int sig, siginfo_t* info, void*) {
    ReportLine line;
    compose_report(signal_words(sig), line);
    if (line.size() == 0) {
        // Not a module's doing: the handler there was before takes it. A fault happens again as
        // the instruction is retried; a signal sent by raise or kill is sent again.
        ::sigaction(sig, &g_previous[sig], nullptr);
        if (!info || info->si_code <= 0)
            ::raise(sig);
        return;
    }
    std::fflush(stdout);
    write_all(STDERR_FILENO, crash::program, std::strlen(crash::program));
    write_all(STDERR_FILENO, ": ", 2);
    write_all(STDERR_FILENO, line.text(), line.size());
    write_all(STDERR_FILENO, "\n", 1);
    call_crash_hook(line.text());
    std::fflush(stdout);
    ::_exit(kExitModuleCrash);
}

}  // namespace

void install_crash_report(const char* program) {
    crash::program = program;
    // A stack of its own, so that a module that overflows its stack is reported too.
    static char alternate[1 << 16];
    stack_t current{};
    if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t ss{};
        ss.ss_sp = alternate;
        ss.ss_size = sizeof alternate;
        ::sigaltstack(&ss, nullptr);
    }
    struct sigaction sa {};
    sa.sa_sigaction = on_signal;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals) ::sigaction(sig, &sa, &g_previous[sig]);
}

std::string crash_report_line(int sig) {
    ReportLine line;
    compose_report(signal_words(sig), line);
    return line.text();
}

}  // namespace sim
