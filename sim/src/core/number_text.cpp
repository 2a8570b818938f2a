#include "sim/number_text.h"

#include <charconv>
#include <cstdio>

namespace sim {

std::string format_double(double v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string format_fixed(double v, int decimals) {
    int n = std::snprintf(nullptr, 0, "%.*f", decimals, v);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, v);
    return text;
}

}  // namespace sim
