#include "crash_context.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "sim/crash_report.h"
#include "sim/world.h"

namespace sim {

namespace {

std::function<void(const std::string&)> g_hook;

}  // namespace

namespace crash {
const char* program = "vesselsim";
const std::string* library = nullptr;
const char* activity = nullptr;
}  // namespace crash

LibraryScope::LibraryScope(const std::string& path, const char* activity)
    : previous_path_(crash::library), previous_activity_(crash::activity) {
    crash::library = &path;
    crash::activity = activity;
}

LibraryScope::~LibraryScope() {
    crash::library = previous_path_;
    crash::activity = previous_activity_;
}

void ReportLine::add(const char* s) {
    while (s && *s && n_ + 1 < sizeof text_) text_[n_++] = *s++;
    text_[n_] = '\0';
}

void ReportLine::add_time(double t) {
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

int g_report_exit_status = kExitModuleCrash;

int reported_exit_status() {
    return g_report_exit_status;
}

void compose_report(const char* what_happened, ReportLine& line, const char* verb) {
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
        line.add(verb);
        line.add(" at t = ");
        line.add_time(w->clock.t_s);
        line.add(" s: ");
        line.add(what_happened);
    } else if (crash::library) {
        line.add("module ");
        line.add(*crash::library);
        line.add(verb);
        line.add(" while ");
        line.add(crash::activity);
        line.add(": ");
        line.add(what_happened);
    }
}

void set_crash_hook(std::function<void(const std::string& report)> hook) {
    g_hook = std::move(hook);
}

void call_crash_hook(const char* report) {
    if (!g_hook)
        return;
    try {
        g_hook(report);
    } catch (...) {
    }
}

}  // namespace sim
