// Reading the values of a scenario line: its blank-separated words and their numbers.
#pragma once

#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace sim {

inline std::vector<std::string> split_words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The whole text is one finite number.
inline bool to_double(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end && std::isfinite(out);
}

}  // namespace sim
