#include "apps/process_pool.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <stdexcept>

#include "sim/crash_report.h"

namespace app {

namespace {

// Starts the text of a child whose module crashed, before the report.
constexpr const char* kCrashed = "crashed: ";

struct Running {
    int item = 0;
    int fd = -1;  // read end of the child's pipe
};

std::string read_all(int fd) {
    std::string text;
    char buf[4096];
    while (true) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0)
            text.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return text;
}

void write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// In the child: quiet output, run the item, hand back its text, leave without the parent's
// exit handlers.
[[noreturn]] void child(int item, int fd, const std::function<std::string(int)>& work) {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
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

}  // namespace

int available_cores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

std::vector<ChildResult> run_in_processes(int first, int end, int jobs,
                                          const std::function<std::string(int)>& work,
                                          const std::function<void(int, int)>& progress) {
    const int total = std::max(0, end - first);
    std::vector<ChildResult> results(static_cast<std::size_t>(total));
    std::map<pid_t, Running> running;
    int next = first, done = 0;
    while (done < total) {
        while (next < end && static_cast<int>(running.size()) < std::max(1, jobs)) {
            int fds[2];
            if (pipe(fds) != 0)
                throw std::runtime_error("cannot create a pipe for a run");
            pid_t pid = fork();
            if (pid < 0) {
                close(fds[0]);
                close(fds[1]);
                throw std::runtime_error("cannot start a process for a run");
            }
            if (pid == 0) {
                close(fds[0]);
                child(next, fds[1], work);
            }
            close(fds[1]);
            running[pid] = {next, fds[0]};
            ++next;
        }
        // The child writes before it exits, and its text fits the pipe: read once it is gone.
        int status = 0;
        pid_t pid = waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("lost track of the run processes");
        }
        auto it = running.find(pid);
        if (it == running.end())
            continue;
        ChildResult& r = results[static_cast<std::size_t>(it->second.item - first)];
        r.text = read_all(it->second.fd);
        close(it->second.fd);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            r.completed = true;
        else if (WIFEXITED(status) && WEXITSTATUS(status) == sim::kExitModuleCrash &&
                 r.text.rfind(kCrashed, 0) == 0)
            r.why = r.text.substr(std::string(kCrashed).size());
        else if (WIFSIGNALED(status))
            r.why = "killed by signal " + std::to_string(WTERMSIG(status));
        else
            r.why = "exited with status " + std::to_string(WEXITSTATUS(status));
        running.erase(it);
        ++done;
        if (progress)
            progress(done, total);
    }
    return results;
}

}  // namespace app
