#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "crash_context.h"
#include "sim/crash_report.h"
#include "sim/world.h"

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

// Ends the process with the report: it is printed, the hook finishes the outputs.
[[noreturn]] void end_with_report(const ReportLine& line, int status) {
    std::fflush(stdout);
    write_all(STDERR_FILENO, crash::program, std::strlen(crash::program));
    write_all(STDERR_FILENO, ": ", 2);
    write_all(STDERR_FILENO, line.text(), line.size());
    write_all(STDERR_FILENO, "\n", 1);
    g_report_exit_status = status;
    call_crash_hook(line.text());
    std::fflush(stdout);
    ::_exit(status);
}

char g_hang_words[96];  // "no return within the wall time limit of S s"

// A module call is hung when the same one is running at two ticks of the alarm in a row.
unsigned long g_call_at_last_tick = 0;
bool g_in_call_at_last_tick = false;

void on_alarm(int) {
    World* w = World::current();
    const bool in_call = w && w->caller() && w->caller_call();
    const unsigned long call = w ? w->calls_begun() : 0;
    const bool hung = in_call && g_in_call_at_last_tick && call == g_call_at_last_tick;
    g_in_call_at_last_tick = in_call;
    g_call_at_last_tick = call;
    if (!hung)
        return;
    ReportLine line;
    compose_report(g_hang_words, line, " hung");
    if (line.size() > 0)
        end_with_report(line, 1);
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
    end_with_report(line, kExitModuleCrash);
}

}  // namespace

void arm_hang_report(double seconds) {
    itimerval timer{};
    if (seconds > 0.0) {
        std::snprintf(g_hang_words, sizeof g_hang_words,
                      "no return within the wall time limit of %g s", seconds);
        struct sigaction sa {};
        sa.sa_handler = on_alarm;
        sa.sa_flags = SA_ONSTACK | SA_RESTART;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGALRM, &sa, nullptr);
        const auto us = static_cast<long long>(seconds * 1e6);
        timer.it_value.tv_sec = static_cast<time_t>(us / 1000000);
        timer.it_value.tv_usec = static_cast<suseconds_t>(us % 1000000);
        if (timer.it_value.tv_sec == 0 && timer.it_value.tv_usec == 0)
            timer.it_value.tv_usec = 1;
        timer.it_interval.tv_usec = 100000;
        g_in_call_at_last_tick = false;
    }
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

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
