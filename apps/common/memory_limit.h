// A run's memory limit (--max-memory): where the system allows it a hard cap on how far the
// process's address space may grow, so that one allocation far past the limit fails at once in
// the module that asks for it; and everywhere the most memory the process has held, which the
// run compares with the limit at each frame boundary.
#pragma once

#include <string>

namespace app {

// Lets the address space grow by at most mb megabytes from what it is now. Not in builds with
// AddressSanitizer, whose shadow memory takes terabytes of address space: there only the frame
// check holds.
void cap_address_space(double mb);

// The most memory the process has held in RAM so far, MB.
double peak_memory_mb();

// The limit of one flight, counting what it takes on top of the program and its loaded modules
// at its start; no limit when limit_mb is 0.
class MemoryWatch {
  public:
    explicit MemoryWatch(double limit_mb);
    // Empty while within the limit; else "the run took N MB of memory by t = T s, more than its
    // limit of M MB".
    std::string over(double t_s) const;

  private:
    double limit_mb_ = 0.0, start_mb_ = 0.0;
};

}  // namespace app
