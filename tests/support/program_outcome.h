// What a run of the vesselsim program left behind, for the tests that run it as users do.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scenario_texts.h"

#ifdef VESSELSIM_PROGRAM
// The program under test, and the folder of the modules made only for the tests.
inline const std::string kProgram = VESSELSIM_PROGRAM;
inline const std::string kTestModules = VESSELSIM_TEST_MODULE_DIR;
#endif

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

// Writes a file of the test's and gives back its path.
inline std::string write_file(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
    return path;
}

// A folder of this test process's files, removed when it ends.
struct Scratch {
    std::string dir;
    explicit Scratch(const std::string& name) {
        dir = ::testing::TempDir() + name + "_" + std::to_string(getpid());
        std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str());
    }
    ~Scratch() { std::system(("chmod -R u+w " + dir + " 2>/dev/null; rm -rf " + dir).c_str()); }
    std::string path(const std::string& name) const { return dir + "/" + name; }
};

// A shell command, its output kept in the scratch folder.
inline Outcome shell(const Scratch& s, const std::string& command) {
    std::string cmd = command + " >" + s.path("stdout") + " 2>" + s.path("stderr");
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(s.path("stdout")),
            read_file(s.path("stderr"))};
}
