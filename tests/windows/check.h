// The checks of the programs that run under Wine: each failed check prints its place and what
// was seen; the program's exit status is the number of failures (0: all passed).
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace check {

inline int failures = 0;

inline void fail(const char* file, int line, const std::string& what) {
    ++failures;
    std::cout << file << ":" << line << ": failed: " << what << "\n";
}

}  // namespace check

#define CHECK(condition)                                 \
    do {                                                 \
        if (!(condition))                                \
            check::fail(__FILE__, __LINE__, #condition); \
    } while (0)

#define CHECK_EQ(seen, expected)                                                            \
    do {                                                                                    \
        const auto& check_seen = (seen);                                                    \
        const auto& check_expected = (expected);                                            \
        if (!(check_seen == check_expected)) {                                              \
            std::ostringstream check_text;                                                  \
            check_text << #seen << " is " << check_seen << ", expected " << check_expected; \
            check::fail(__FILE__, __LINE__, check_text.str());                              \
        }                                                                                   \
    } while (0)
