#include <windows.h>
// The process's memory figures (psapi).
#include <psapi.h>

#include "apps/common/memory_limit.h"

namespace app {

namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;

}  // namespace

// A job object holding this process alone, whose committed memory may grow by mb from what it
// is now: past it an allocation fails, as past RLIMIT_AS on Linux. Where the job cannot be made
// (the process already in a job that forbids it), the frame check alone holds.
void cap_address_space(double mb) {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c))
        return;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job)
        return;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limit.ProcessMemoryLimit =
        static_cast<SIZE_T>(static_cast<double>(c.PagefileUsage) + mb * kBytesPerMb);
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit) ||
        !AssignProcessToJobObject(job, GetCurrentProcess()))
        CloseHandle(job);
    // Otherwise the handle stays open for the process's life: closing it would end the job.
}

double peak_memory_mb() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c))
        return 0.0;
    return static_cast<double>(c.PeakWorkingSetSize) / kBytesPerMb;
}

}  // namespace app
