#include <cstdio>

#include "apps/common/memory_limit.h"

namespace app {

MemoryWatch::MemoryWatch(double limit_mb) : limit_mb_(limit_mb) {
    if (limit_mb_ <= 0.0)
        return;
    start_mb_ = peak_memory_mb();
    cap_address_space(limit_mb_);
}

std::string MemoryWatch::over(double t_s) const {
    if (limit_mb_ <= 0.0)
        return "";
    const double taken_mb = peak_memory_mb() - start_mb_;
    if (taken_mb <= limit_mb_)
        return "";
    char text[160];
    std::snprintf(text, sizeof text,
                  "the run took %.0f MB of memory by t = %.3f s, more than its limit of %g MB",
                  taken_mb, t_s, limit_mb_);
    return text;
}

}  // namespace app
