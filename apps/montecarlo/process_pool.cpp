#include "apps/montecarlo/process_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <stdexcept>

#include "apps/common/fd_write.h"
#include "sim/crash_report.h"

namespace app {

namespace {

using Clock = std::chrono::steady_clock;

// Starts the text of a child whose module crashed, before the report.
constexpr const char* kCrashed = "crashed: ";

struct Running {
    pid_t pid = 0;
    int item = 0;
    int fd = -1;  // read end of the child's pipe
    Clock::time_point deadline;
    ChildResult result;
};

// The child's own alarm at the wall time limit ends it by SIGALRM, however late the parent gets
// to look: a run's limit does not depend on how busy the machine keeps the parent.
void arm_wall_limit(double wall_limit_s) {
    if (wall_limit_s <= 0.0)
        return;
    std::signal(SIGALRM, SIG_DFL);
    itimerval timer{};
    const auto us = static_cast<long long>(std::ceil(wall_limit_s * 1e6));
    timer.it_value.tv_sec = static_cast<time_t>(us / 1000000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(us % 1000000);
    setitimer(ITIMER_REAL, &timer, nullptr);
}

// In the child: die with the parent, quiet output, run the item, hand back its text, leave
// without the parent's exit handlers.
[[noreturn]] void child(int item, int fd, pid_t parent, double wall_limit_s,
                        const std::vector<Running>& others,
                        const std::function<std::string(int)>& work) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(4);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, SIG_IGN);
    arm_wall_limit(wall_limit_s);
    for (const Running& r : others) close(r.fd);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    // A module that crashes the child is named in its place.
    sim::set_crash_hook([fd](const std::string& report) { write_all(fd, kCrashed + report); });
    std::string text;
    try {
        text = work(item);
    } catch (...) {
        _exit(3);
    }
    write_all(fd, text);
    close(fd);
    _exit(0);
}

void start(int item, double wall_limit_s, std::vector<Running>& running,
           const std::function<std::string(int)>& work) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create a pipe for a run");
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        throw std::runtime_error("cannot start a process for a run");
    }
    if (pid == 0) {
        close(fds[0]);
        child(item, fds[1], parent, wall_limit_s, running, work);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    Running r;
    r.pid = pid;
    r.item = item;
    r.fd = fds[0];
    r.deadline = wall_limit_s > 0.0
                     ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(wall_limit_s))
                     : Clock::time_point::max();
    running.push_back(std::move(r));
}

// Reaps a child whose pipe has closed, or that was killed, and says how it ended.
void finish(Running& r) {
    close(r.fd);
    int status = 0;
    while (waitpid(r.pid, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("lost track of the run processes");
    ChildResult& c = r.result;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        c.timed_out = true;
    if (c.timed_out)
        c.why = "over the wall time limit";
    else if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        c.completed = true;
    else if (WIFEXITED(status) && WEXITSTATUS(status) == sim::kExitModuleCrash &&
             c.text.rfind(kCrashed, 0) == 0)
        c.why = c.text.substr(std::string(kCrashed).size());
    else if (WIFSIGNALED(status))
        c.why = "killed by signal " + std::to_string(WTERMSIG(status));
    else
        c.why = "exited with status " + std::to_string(WEXITSTATUS(status));
}

// Reads what the child has written; true once its pipe has closed.
bool drain(Running& r) {
    char buf[4096];
    while (true) {
        ssize_t n = read(r.fd, buf, sizeof buf);
        if (n > 0)
            r.result.text.append(buf, static_cast<std::size_t>(n));
        else if (n == 0)
            return true;
        else if (errno != EINTR)
            return errno != EAGAIN;
    }
}

}  // namespace

int available_cores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

void run_in_processes(const std::vector<int>& items, int jobs, double wall_limit_s,
                      const std::function<std::string(int)>& work,
                      const std::function<void(int, ChildResult&)>& done) {
    std::vector<Running> running;
    std::size_t next = 0;
    std::vector<pollfd> polls;
    while (next < items.size() || !running.empty()) {
        while (next < items.size() && static_cast<int>(running.size()) < std::max(1, jobs))
            start(items[next++], wall_limit_s, running, work);
        Clock::time_point soonest = Clock::time_point::max();
        polls.clear();
        for (const Running& r : running) {
            polls.push_back({r.fd, POLLIN, 0});
            soonest = std::min(soonest, r.deadline);
        }
        int timeout_ms = -1;
        if (soonest != Clock::time_point::max()) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(soonest - Clock::now());
            timeout_ms = static_cast<int>(std::clamp<long long>(left.count(), 0, 60000));
        }
        if (poll(polls.data(), polls.size(), timeout_ms) < 0 && errno != EINTR)
            throw std::runtime_error("lost track of the run processes");
        const Clock::time_point now = Clock::now();
        for (std::size_t i = running.size(); i-- > 0;) {
            Running& r = running[i];
            bool ended = polls[i].revents != 0 && drain(r);
            if (!ended && now >= r.deadline) {
                kill(r.pid, SIGKILL);
                r.result.timed_out = true;
                ended = true;
            }
            if (!ended)
                continue;
            finish(r);
            Running gone = std::move(r);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            done(gone.item, gone.result);
        }
    }
}

}  // namespace app
