#include <windows.h>
// The process's memory figures (psapi).
#include <psapi.h>

#include "apps/memory_limit.h"

namespace app {

// Windows has no cap on one process's address space short of a job object: the frame check
// alone holds there.
void cap_address_space(double) {}

double peak_memory_mb() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c))
        return 0.0;
    return static_cast<double>(c.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace app
