#include "apps/run/stop_signals.h"

#include <csignal>

namespace app {

namespace {

volatile std::sig_atomic_t g_caught = 0;

extern "C" void on_stop_signal(int signal) {
    g_caught = signal;
}

}  // namespace

void watch_stop_signals() {
    g_caught = 0;
    std::signal(SIGINT, on_stop_signal);
    std::signal(SIGTERM, on_stop_signal);
}

void stop_watching_signals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

int stop_signal() {
    return g_caught;
}

const char* stop_signal_name(int signal) {
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
}

}  // namespace app
