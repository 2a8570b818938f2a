#include "apps/common/option_checks.h"

#include <CLI/CLI.hpp>
#include <cmath>

#include "sim/number_text.h"

namespace app {

CLI::Validator finite_within(double lo, double hi) {
    std::string bounds = sim::format_double(lo) + " to " + sim::format_double(hi);
    return CLI::Validator(
        [lo, hi, bounds](const std::string& text) {
            double v = 0.0;
            return CLI::detail::lexical_cast(text, v) && std::isfinite(v) && v >= lo && v <= hi
                       ? std::string()
                       : "must be a number from " + bounds;
        },
        "");
}

CLI::Validator output_path() {
    return CLI::Validator(
        [](const std::string& text) {
            return text.empty() ? std::string("an empty path names no file") : std::string();
        },
        "");
}

}  // namespace app
