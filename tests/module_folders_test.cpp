// Where the program finds modules: the folders of --modules (repeated, or a colon-separated
// list), then VESSELSIM_MODULES, then its own modules folder; the first of these that has a
// class wins, and two folders of one of them that both have it are an error. A library that
// cannot serve as a module, or a folder that cannot be read, is refused in one line before
// anything flies, and the outputs already on disk stay whole.
#include <unistd.h>

#include <fstream>
#include <string>

#include "sim/crash_report.h"
#include "support/program_outcome.h"

namespace {

const std::string kExample = std::string(VESSELSIM_EXAMPLES_DIR) + "/hoverbox.so";

// Copies a library into a folder of the scratch under the file name of a class.
void put(const Scratch& s, const std::string& library, const std::string& folder,
         const std::string& class_name) {
    std::system(("mkdir -p " + s.path(folder) + " && cp " + library + " " + s.path(folder) + "/" +
                 class_name + ".so")
                    .c_str());
}

std::string landed(const std::string& name, const std::string& class_name, double lat) {
    return name + ":" + class_name + "\n  STATUS Landed Mars\n  POS 10 " + std::to_string(lat) +
           "\nEND\n";
}

std::string scenario(const Scratch& s, const std::string& ships,
                     const std::string& name = "ships.scn") {
    return write_file(s.path(name), "BEGIN_SHIPS\n" + ships + "END_SHIPS\n");
}

}  // namespace

TEST(ModuleFolders, ClassesComeFromEveryFolderGivenRepeatedOrAsAList) {
    Scratch s("module_folders");
    put(s, kExample, "a", "box1");
    put(s, kExample, "c", "box2");
    ::mkdir(s.path("b").c_str(), 0755);
    const std::string scn = scenario(s, landed("One", "box1", 10) + landed("Two", "box2", 10.01));
    for (const std::string& modules :
         {" --modules " + s.path("a") + " --modules " + s.path("b") + ":" + s.path("c"),
          " --modules " + s.path("a") + "::" + s.path("c")}) {
        Outcome r = shell(s, kProgram + " run " + scn + " --until 1" + modules);
        EXPECT_EQ(r.status, 0) << modules << "\n" << r.err;
        EXPECT_NE(r.out.find("One (box1)"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Two (box2)"), std::string::npos) << r.out;
    }
    Outcome env = shell(s, "VESSELSIM_MODULES=" + s.path("a") + ":" + s.path("c") + " " + kProgram +
                               " run " + scn + " --until 1");
    EXPECT_EQ(env.status, 0) << env.err;
    // No output may replace a library of any of the folders.
    const std::string target = s.path("c") + "/box2.so";
    for (const std::string& command :
         {kProgram + " run " + scn + " --modules " + s.path("a") + " --modules " + s.path("b") +
              ":" + s.path("c"),
          "VESSELSIM_MODULES=" + s.path("c") + " " + kProgram + " run " + scn}) {
        Outcome r = shell(s, command + " --telemetry " + target);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_EQ(
            r.err.rfind("vesselsim: --telemetry " + target + ": would overwrite the module library",
                        0),
            0u)
            << r.err;
    }
    Outcome described =
        shell(s, kProgram + " describe box2 --modules " + s.path("b") + ":" + s.path("c"));
    EXPECT_EQ(described.status, 0) << described.err;
    EXPECT_NE(described.out.find("  HOLD 20.0\n"), std::string::npos) << described.out;
}

// d/box1.so crashes half a second into its flight: whether it was loaded shows which folder won.
TEST(ModuleFolders, TheFirstFolderThatHasAClassWins) {
    Scratch s("module_folders");
    put(s, kExample, "a", "box1");
    put(s, kTestModules + "/crasher_step.so", "d", "box1");
    put(s, kExample, "e", "carrier");
    const std::string scn = scenario(s, landed("One", "box1", 10));
    const std::string run = kProgram + " run " + scn + " --until 1";
    const std::string env = "VESSELSIM_MODULES=" + s.path("d") + " ";
    EXPECT_EQ(shell(s, env + run).status, sim::kExitModuleCrash) << "the variable's folder";
    Outcome given_first = shell(s, env + run + " --modules " + s.path("a"));
    EXPECT_EQ(given_first.status, 0) << "--modules before the variable: " << given_first.err;
    // The program's own carrier gives way to the user's.
    Outcome own = shell(s, kProgram + " describe carrier --modules " + s.path("e"));
    EXPECT_EQ(own.status, 0) << own.err;
    EXPECT_NE(own.out.find("  HOLD 20.0\n"), std::string::npos) << own.out;
    // The stand-in's own library is not among the modules.
    Outcome library = shell(s, kProgram + " describe libvesselsim");
    EXPECT_EQ(library.status, 1);
    EXPECT_NE(library.err.find("no module libvesselsim.so in the module folder"), std::string::npos)
        << library.err;
}

TEST(ModuleFolders, AClassInTwoFoldersGivenAlikeIsAnErrorThatNamesBoth) {
    Scratch s("module_folders");
    put(s, kExample, "a", "box1");
    put(s, kExample, "d", "box1");
    const std::string scn = scenario(s, landed("One", "box1", 10));
    const std::string both = s.path("a") + ":" + s.path("d");
    const std::string expected = "vesselsim: " + scn +
                                 ":2: cannot create vessel One of class box1: class box1 is in "
                                 "two module folders: " +
                                 s.path("a") + "/box1.so and " + s.path("d") + "/box1.so\n";
    for (const std::string& command :
         {kProgram + " run " + scn + " --modules " + both,
          "VESSELSIM_MODULES=" + both + " " + kProgram + " run " + scn}) {
        Outcome r = shell(s, command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, expected) << command;
        EXPECT_EQ(r.out, "") << command;
    }
    // The same folder named twice is one folder.
    Outcome twice = shell(s, kProgram + " run " + scn + " --until 0.1 --modules " + s.path("a") +
                                 ":" + s.dir + "/./a");
    EXPECT_EQ(twice.status, 0) << twice.err;
}

// Each is one line on stderr and exit 1; nothing flies, and the save and telemetry already on
// disk are as they were.
TEST(ModuleFolders, LibrariesAndFoldersThatCannotServeAreRefusedInOneLine) {
    Scratch s("module_folders");
    put(s, kTestModules + "/not_a_library.so", "m", "text");
    put(s, kTestModules + "/missing_export.so", "m", "three_exports");
    put(s, kTestModules + "/null_vessel.so", "m", "no_vessel");
    const std::string file = write_file(s.path("a_file"), "not a folder\n");
    const std::string save = write_file(s.path("old.scn"), "an old save\n");
    const std::string csv = write_file(s.path("old.csv"), "old rows\n");
    const std::string outputs = " --save " + save + " --telemetry " + csv;
    struct Case {
        std::string command, message;
    };
    auto run = [&](const std::string& class_name) {
        return kProgram + " run " + scenario(s, landed("X", class_name, 10), class_name + ".scn") +
               " --modules " + s.path("m") + outputs;
    };
    const Case cases[] = {
        {run("text"), "cannot load module " + s.path("m") + "/text.so: "},
        {run("three_exports"), "module " + s.path("m") +
                                   "/three_exports.so lacks the export "
                                   "GetModuleVersion"},
        {run("no_vessel"), "module " + s.path("m") + "/no_vessel.so created no vessel for X"},
        {kProgram + " run " + s.path("text.scn") + " --modules " + file + outputs,
         "vesselsim: --modules " + file + ": not a folder"},
        {"VESSELSIM_MODULES=/nowhere " + kProgram + " run " + s.path("text.scn") + outputs,
         "vesselsim: VESSELSIM_MODULES folder /nowhere: no such folder"},
        {kProgram + " describe carrier --modules " + file,
         "vesselsim: --modules " + file + ": not a folder"},
    };
    for (const Case& c : cases) {
        Outcome r = shell(s, c.command);
        EXPECT_EQ(r.status, 1) << c.command << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.command << "\n" << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "") << c.command;
        EXPECT_EQ(read_file(save), "an old save\n") << c.command;
        EXPECT_EQ(read_file(csv), "old rows\n") << c.command;
    }
}
