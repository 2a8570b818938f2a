#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "crash_context.h"
#include "sim/crash_report.h"
#include "sim/world.h"

namespace sim {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::function<void(const std::string&)> g_hook;
struct sigaction g_previous[NSIG];

// The report is put together without allocating: the heap may be what the module broke.
class Line {
  public:
    void add(const char* s) {
        while (s && *s && n_ + 1 < sizeof text_) text_[n_++] = *s++;
        text_[n_] = '\0';
    }
    void add(const std::string& s) { add(s.c_str()); }
    // t with three decimals, as the other reports give it.
    void add_time(double t) {
        if (!std::isfinite(t)) {
            add("nan");
            return;
        }
        if (t < 0) {
            add("-");
            t = -t;
        }
        unsigned long long ms = static_cast<unsigned long long>(std::min(t, 1e15) * 1000.0 + 0.5);
        char digits[32];
        int d = 0;
        unsigned long long whole = ms / 1000;
        do {
            digits[d++] = static_cast<char>('0' + whole % 10);
            whole /= 10;
        } while (whole);
        char out[40];
        int o = 0;
        while (d) out[o++] = digits[--d];
        out[o++] = '.';
        out[o++] = static_cast<char>('0' + ms / 100 % 10);
        out[o++] = static_cast<char>('0' + ms / 10 % 10);
        out[o++] = static_cast<char>('0' + ms % 10);
        out[o] = '\0';
        add(out);
    }
    const char* text() const { return text_; }
    std::size_t size() const { return n_; }

  private:
    char text_[1024] = {};
    std::size_t n_ = 0;
};

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

// The report of the module whose code runs, or an empty line.
void compose(int sig, Line& line) {
    World* w = World::current();
    Vessel* v = w ? w->caller() : nullptr;
    if (v && w->caller_call()) {
        line.add("module ");
        line.add(v->class_name());
        if (v->module()) {
            line.add(" (");
            line.add(v->module()->path);
            line.add(")");
        }
        line.add(": vessel ");
        line.add(v->name());
        line.add(": ");
        line.add(w->caller_call());
        line.add(" crashed at t = ");
        line.add_time(w->clock.t_s);
        line.add(" s: ");
        line.add(signal_words(sig));
    } else if (crash::library) {
        line.add("module ");
        line.add(*crash::library);
        line.add(" crashed while ");
        line.add(crash::activity);
        line.add(": ");
        line.add(signal_words(sig));
    }
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
    Line line;
    compose(sig, line);
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
    if (g_hook) {
        try {
            g_hook(line.text());
        } catch (...) {
        }
    }
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

void set_crash_hook(std::function<void(const std::string& report)> hook) {
    g_hook = std::move(hook);
}

std::string crash_report_line(int sig) {
    Line line;
    compose(sig, line);
    return line.text();
}

}  // namespace sim
