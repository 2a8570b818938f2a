// What a run of the vesselsim program left behind, for the tests that run it as users do.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
