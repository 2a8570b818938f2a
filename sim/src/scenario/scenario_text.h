// Reading the values of a scenario line: its blank-separated words and their numbers. Every
// part of the reader uses this one notion of a blank, so that a line the trimmer finds empty is
// also a line without words.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Space, tab, carriage return, line feed, vertical tab and form feed.
constexpr std::string_view kBlanks = " \t\r\n\v\f";

inline bool is_blank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

inline std::string trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(kBlanks);
    if (a == std::string::npos)
        return "";
    std::size_t b = s.find_last_not_of(kBlanks);
    return s.substr(a, b - a + 1);
}

inline std::vector<std::string> split_words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        i = text.find_first_not_of(kBlanks, i);
        if (i == std::string::npos)
            return words;
        std::size_t end = text.find_first_of(kBlanks, i);
        words.push_back(text.substr(i, end == std::string::npos ? end : end - i));
        i = end;
    }
}

// The whole text is one finite number.
inline bool to_double(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end && std::isfinite(out);
}

}  // namespace sim
