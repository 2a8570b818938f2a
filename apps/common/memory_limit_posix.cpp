#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "apps/common/memory_limit.h"

namespace app {

namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;

#if !defined(__SANITIZE_ADDRESS__)
// The address space the process holds now, bytes: the first field of /proc/self/statm, in pages.
double address_space_bytes() {
    unsigned long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    return static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE));
}
#endif

}  // namespace

void cap_address_space([[maybe_unused]] double mb) {
#if !defined(__SANITIZE_ADDRESS__)
    const double cap = address_space_bytes() + mb * kBytesPerMb;
    rlimit r{};
    if (getrlimit(RLIMIT_AS, &r) != 0)
        return;
    if (r.rlim_max != RLIM_INFINITY && static_cast<double>(r.rlim_max) < cap)
        return;  // a tighter cap from outside stays
    r.rlim_cur = static_cast<rlim_t>(cap);
    setrlimit(RLIMIT_AS, &r);
#endif
}

double peak_memory_mb() {
    rusage u{};
    if (getrusage(RUSAGE_SELF, &u) != 0)
        return 0.0;
    return static_cast<double>(u.ru_maxrss) * 1024.0 / kBytesPerMb;  // ru_maxrss is in KiB
}

}  // namespace app
