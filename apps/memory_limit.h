// A run's memory limit (--max-memory): where the system allows it a hard cap on how far the
// process's address space may grow, so that one allocation far past the limit fails at once in
// the module that asks for it; and everywhere the most memory the process has held, which the
// run compares with the limit at each frame boundary.
#pragma once

namespace app {

// Lets the address space grow by at most mb megabytes from what it is now. Not in builds with
// AddressSanitizer, whose shadow memory takes terabytes of address space: there only the frame
// check holds.
void cap_address_space(double mb);

// The most memory the process has held in RAM so far, MB.
double peak_memory_mb();

}  // namespace app
