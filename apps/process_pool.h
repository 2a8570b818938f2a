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
    std::string why;         // how it ended otherwise, e.g. "killed by signal 11", or the
                             // report of the module that crashed in it
};

// Runs work(i) for i in [first, end), each in a forked child, at most jobs at once; the result of
// item i is at index i - first. progress(done, total) is called as items complete. Call only
// from a process with a single thread.
std::vector<ChildResult> run_in_processes(int first, int end, int jobs,
                                          const std::function<std::string(int)>& work,
                                          const std::function<void(int, int)>& progress);

// The processors this process may run on.
int available_cores();

}  // namespace app
