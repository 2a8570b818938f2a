// Work items run each in a child process of its own, a fixed number at a time, so that nothing
// one item leaves in memory (module-wide data included) reaches another.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace app {

struct ChildResult {
    std::string text;        // what the child's work returned
    bool completed = false;  // the child ran its work and exited normally
    bool timed_out = false;  // it ran past the wall time limit and was stopped
    std::string why;         // how it ended otherwise, e.g. "killed by signal 11", or the
                             // report of the module that crashed in it
};

// Runs work(item) for each item, each in a child forked from this process, at most jobs at
// once. done(item, result) is called here as each child ends, in the order they end. A child
// still running wall_limit_s after it started (when above 0) is killed. Children ignore the
// signals that stop a terminal's or a batch system's job and die with this process, so that a
// stopped study leaves no run behind and records none as failed. Throws std::runtime_error when
// a process or a pipe cannot be made. Call only from a process with a single thread.
void run_in_processes(const std::vector<int>& items, int jobs, double wall_limit_s,
                      const std::function<std::string(int)>& work,
                      const std::function<void(int, ChildResult&)>& done);

// The processors this process may run on.
int available_cores();

}  // namespace app
