// What the program writes, as a user meets it: no command writes onto a file it reads or onto
// another of its outputs, a replaced file keeps its permissions, a write that fails is an error
// that leaves the old file whole, every number an option takes is finite, and a module that
// throws is named with its callback by every command.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_outcome.h"

namespace {

mode_t mode_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A copy of the module folder, so that an output wrongly written onto a library harms no other
// test.
std::string copy_modules(const Scratch& s) {
    std::string dir = s.path("mods");
    std::system(("mkdir -p " + dir + " && cp " + VESSELSIM_MODULE_DIR + "/*.so " + dir).c_str());
    return dir;
}

}  // namespace

// Every output is checked against every input and every other output before anything is
// flown or opened: the refused command exits 2, and every file it named is as it was.
TEST(ProgramOutputs, NoCommandWritesOntoAFileItReadsOrOntoAnotherOutput) {
    Scratch s("program_outputs");
    const std::string scn = write_file(s.path("in.scn"), kFalling);
    const std::string csv = write_file(s.path("a.csv"), "a shard's rows\n");
    const std::string mods = copy_modules(s);
    // A copy of the program with its library, laid out as a prefix: it runs on the copy.
    const std::string program = s.path("bin/vesselsim");
    std::system(("mkdir -p " + s.path("bin") + " " + s.path("lib") + " && cp " + kProgram + " " +
                 program + " && cp -P " + VESSELSIM_MODULE_DIR + "/../../libvesselsim.so* " +
                 s.path("lib"))
                    .c_str());
    const std::string study = kProgram + " montecarlo " + scn + " --runs 1 ";
    const std::string modules = " --modules " + mods;
    // The stand-in's library, outside the modules folder, under the name modules link against.
    const std::string library = std::string(VESSELSIM_MODULE_DIR) + "/../../libvesselsim.so";
    // A link to a library of the default modules folder, which a merge loads nothing from.
    const std::string link = s.path("link.csv");
    std::system(("ln -s " + std::string(VESSELSIM_MODULE_DIR) + "/quor_tevlan.so " + link).c_str());
    struct Case {
        std::string command, message;
    };
    const Case cases[] = {
        {study + "--csv " + scn, "--csv " + scn + ": would overwrite the scenario it reads"},
        {study + "--plot " + scn, "--plot " + scn + ": would overwrite the scenario it reads"},
        {study + "--csv " + s.path("b.csv") + " --plot " + s.dir + "/./b.csv",
         "--plot " + s.dir + "/./b.csv: the same file as --csv"},
        {study + "--csv " + mods + "/quor_tevlan.so" + modules,
         "--csv " + mods + "/quor_tevlan.so: would overwrite the module library"},
        {kProgram + " montecarlo-merge " + csv + " --plot " + csv,
         "--plot " + csv + ": would overwrite the CSV " + csv + " it merges"},
        {kProgram + " montecarlo-merge " + csv + " --csv " + csv,
         "--csv " + csv + ": would overwrite the CSV"},
        {kProgram + " montecarlo-merge " + csv + " --csv " + link,
         "--csv " + link + ": would overwrite the module library"},
        {kProgram + " run " + scn + modules + " --telemetry " + mods + "/b_tvm58.so",
         "--telemetry " + mods + "/b_tvm58.so: would overwrite the module library"},
        {kProgram + " run " + scn + modules + " --plot " + mods + "/rocket.so",
         "--plot " + mods + "/rocket.so: would overwrite the module library"},
        {kProgram + " run " + scn + modules + " --hud " + mods + "/b_tvm58.so",
         "--hud " + mods + "/b_tvm58.so: would overwrite the module library"},
        {kProgram + " run " + scn + modules + " --hud " + library,
         "--hud " + library + ": would overwrite the library"},
        {program + " run " + scn + modules + " --telemetry " + program,
         "--telemetry " + program + ": would overwrite the program itself"},
    };
    for (const Case& c : cases) {
        Outcome r = shell(s, c.command);
        EXPECT_EQ(r.status, 2) << c.command << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("vesselsim: " + c.message, 0), 0u) << c.command << "\n" << r.err;
    }
    EXPECT_EQ(read_file(scn), kFalling);
    EXPECT_EQ(read_file(csv), "a shard's rows\n");
    EXPECT_FALSE(std::ifstream(s.path("b.csv")).good());
    // The copied program and libraries still run whole.
    Outcome still = shell(s, program + " run " + scn + modules + " --until 0.1");
    EXPECT_EQ(still.status, 0) << still.err;
}

// An empty path names no file; a read-only file is not replaced; an output needs a folder.
TEST(ProgramOutputs, OutputsThatCannotBeWrittenAreRefusedBeforeTheRun) {
    Scratch s("program_outputs");
    const std::string scn = write_file(s.path("in.scn"), kFalling);
    const std::string locked = write_file(s.path("locked.scn"), "kept\n");
    ::chmod(locked.c_str(), 0444);
    const std::string run = kProgram + " run " + scn + " --until 0.1 ";
    const std::string study = kProgram + " montecarlo " + scn + " --runs 1 ";
    struct Case {
        std::string command, message;
    };
    const Case cases[] = {
        {run + "--save ''", "--save: an empty path names no file"},
        {run + "--telemetry ''", "--telemetry: an empty path names no file"},
        {run + "--plot ''", "--plot: an empty path names no file"},
        {run + "--hud ''", "--hud: an empty path names no file"},
        {study + "--csv ''", "--csv: an empty path names no file"},
        {kProgram + " montecarlo-merge " + scn + " --plot ''", "--plot: an empty path"},
        {run + "--save " + locked, "--save " + locked + ": the file is read-only"},
        {study + "--csv " + locked, "--csv " + locked + ": the file is read-only"},
        {run + "--telemetry " + s.path("no/such/folder.csv"),
         "--telemetry " + s.path("no/such/folder.csv") + ": no folder"},
        {run + "--plot " + s.dir, "--plot " + s.dir + ": is a folder"},
    };
    for (const Case& c : cases) {
        Outcome r = shell(s, c.command);
        EXPECT_EQ(r.status, 2) << c.command << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.command << "\n" << r.err;
        EXPECT_EQ(r.out, "") << "nothing is flown: " << c.command;
    }
    EXPECT_EQ(read_file(locked), "kept\n");
    EXPECT_EQ(mode_of(locked), 0444u);
}

// A file written again keeps its permissions and stays the file a link names; a write that
// fails (a full disk, here the device that is always full, named through a link) is exit 1 with
// the path and the reason, and leaves no file half written.
TEST(ProgramOutputs, ReplacedFilesKeepTheirPermissionsAndFailedWritesAreErrors) {
    Scratch s("program_outputs");
    const std::string scn = write_file(s.path("in.scn"), kFalling);
    const std::string save = write_file(s.path("private.scn"), "old\n");
    const std::string csv = write_file(s.path("shared.csv"), "old\n");
    ::chmod(save.c_str(), 0600);
    ::chmod(csv.c_str(), 0640);
    const std::string linked = s.path("linked.csv"),
                      target = write_file(s.path("target.csv"), "old\n");
    ASSERT_EQ(::symlink(target.c_str(), linked.c_str()), 0);
    Outcome r = shell(s, kProgram + " run " + scn + " --until 0.1 --save " + save +
                             " --telemetry " + csv + " --plot " + linked);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(save).rfind("BEGIN_DESC", 0), 0u);
    EXPECT_EQ(mode_of(save), 0600u);
    EXPECT_EQ(read_file(csv).rfind("time_s,", 0), 0u);
    EXPECT_EQ(mode_of(csv), 0640u);
    struct stat st {};
    ASSERT_EQ(::lstat(linked.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(read_file(target).rfind("\x89PNG", 0), 0u) << "the file it names is the plot";

    const std::string full = s.path("full.png"), full_log = s.path("x.log");
    ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
    ASSERT_EQ(::symlink("/dev/full", full_log.c_str()), 0);
    const std::string run = kProgram + " run " + scn + " --until 0.1 ";
    const std::string study =
        kProgram + " montecarlo " + write_file(s.path("d.scn"), kDescent) + " --runs 1 --jobs 1 ";
    struct Case {
        std::string command, message;
    };
    const Case cases[] = {
        {run + "--plot " + full, "cannot write " + full + ": No space left on device"},
        {run + "--hud " + full, "cannot write " + full + ": No space left on device"},
        {run + "--save " + s.path("x.scn"), "cannot write " + full_log + ": No space left"},
        {study + "--plot " + full, "cannot write " + full + ": No space left on device"},
        {study + "--csv " + full, "cannot write " + full + ": No space left on device"},
    };
    for (const Case& c : cases) {
        Outcome failed = shell(s, c.command);
        EXPECT_EQ(failed.status, 1) << c.command << "\n" << failed.err;
        EXPECT_NE(failed.err.find("vesselsim: " + c.message), std::string::npos)
            << c.command << "\n"
            << failed.err;
    }
    Outcome left = shell(s, "ls " + s.dir);
    EXPECT_EQ(left.out.find(".csv."), std::string::npos) << "no temporary file stays:\n"
                                                         << left.out;
}

// NaN and infinity are refused by every option that takes a number, as usage errors.
TEST(ProgramOutputs, EveryNumberOptionRefusesNanAndInfinity) {
    Scratch s("program_outputs");
    const std::string scn = write_file(s.path("in.scn"), kFalling);
    const std::string run = kProgram + " run " + scn + " ";
    const std::string study = kProgram + " montecarlo " + scn + " --runs 1 ";
    const std::pair<std::string, const char*> options[] = {
        {run, "--until"},
        {run, "--dt"},
        {run, "--time-accel"},
        {run, "--start-height-scale"},
        {run, "--start-speed-scale"},
        {run, "--start-turn"},
        {run, "--start-turn-axis"},
        {run, "--wind"},
        {run, "--wind-from"},
        {run, "--ground-offset"},
        {study, "--height-spread"},
        {study, "--speed-spread"},
        {study, "--wind-max"},
        {study, "--turn-max"},
        {study, "--dt-min"},
        {study, "--dt-max"},
        {study, "--ground-offset-max"},
    };
    const char* values[] = {"nan", "inf", "-inf", "NaN"};
    std::size_t i = 0;
    for (const auto& [command, option] : options) {
        const std::string c = command + option + " " + values[i++ % std::size(values)];
        Outcome r = shell(s, c);
        EXPECT_EQ(r.status, 2) << c << "\n" << r.err;
        EXPECT_NE(r.err.find("must be a number from"), std::string::npos) << c << "\n" << r.err;
    }
}

// A scenario or a CSV must be a regular file of bounded size: a device named by mistake is
// refused at once instead of read without end.
TEST(ProgramOutputs, InputsThatAreNotRegularFilesAreRefused) {
    Scratch s("program_outputs");
    for (const std::string& command :
         {kProgram + " run /dev/zero", kProgram + " montecarlo /dev/zero --runs 1",
          kProgram + " montecarlo-merge /dev/zero"}) {
        Outcome r = shell(s, command);
        EXPECT_EQ(r.status, 1) << command << "\n" << r.err;
        EXPECT_EQ(r.err, "vesselsim: /dev/zero: cannot read the file: it is not a regular file\n")
            << command;
    }
}

// A module that throws is named with its class, its vessel and the callback, by describe, run
// and montecarlo alike; nothing aborts.
TEST(ProgramOutputs, AModuleThatThrowsIsNamedWithItsCallbackByEveryCommand) {
    Scratch s("program_outputs");
    const std::string modules = std::string(" --modules ") + VESSELSIM_TEST_MODULE_DIR;
    Outcome init = shell(s, kProgram + " describe thrower_init" + modules);
    EXPECT_EQ(init.status, 1) << init.err;
    EXPECT_EQ(init.err, "vesselsim: module thrower_init (" +
                            std::string(VESSELSIM_TEST_MODULE_DIR) +
                            "/thrower_init.so): vessel thrower_init: ovcInit threw at t = 0.000 "
                            "s: deliberate throw in creation\n");
    Outcome setup = shell(s, kProgram + " describe thrower_setup" + modules);
    EXPECT_EQ(setup.status, 1) << setup.err;
    EXPECT_NE(setup.err.find("clbkClassSetup threw at t = 0.000 s: deliberate throw in set-up"),
              std::string::npos)
        << setup.err;

    const std::string in_setup = write_file(
        s.path("setup.scn"),
        "BEGIN_SHIPS\nT:thrower_setup\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    Outcome run_setup = shell(s, kProgram + " run " + in_setup + modules);
    EXPECT_EQ(run_setup.status, 1) << run_setup.err;
    EXPECT_NE(
        run_setup.err.find("thrower_setup.so): vessel T: clbkClassSetup threw at t = 0.000 s: "
                           "deliberate throw in set-up"),
        std::string::npos)
        << run_setup.err;

    const std::string scn = write_file(
        s.path("step.scn"),
        "BEGIN_SHIPS\nT:thrower_step\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    Outcome step = shell(s, kProgram + " run " + scn + modules + " --until 1");
    EXPECT_EQ(step.status, 1) << step.err;
    EXPECT_NE(step.err.find("thrower_step.so): vessel T: clbkPostStep threw at t = "
                            "0.000 s: deliberate throw after the step"),
              std::string::npos)
        << step.err;

    // A save that throws fails the run whatever outputs were asked for; the error is on stderr,
    // in the log and in the summary, which are written all the same.
    const std::string save = write_file(
        s.path("save.scn"),
        "BEGIN_SHIPS\nT:thrower_save\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    for (const std::string& outputs :
         {" --summary " + s.path("save.json"),
          " --summary " + s.path("save.json") + " --save " + s.path("saved.scn")}) {
        SCOPED_TRACE(outputs);
        std::filesystem::remove(s.path("save.json"));
        // The log is named after the first output: the save, else the summary.
        const std::string log =
            s.path(outputs.find("--save") != std::string::npos ? "saved.log" : "save.log");
        Outcome r = shell(s, kProgram + " run " + save + modules + " --until 1" + outputs);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("clbkSaveState threw at t = 1.000 s: deliberate throw in the save"),
                  std::string::npos)
            << r.err;
        const std::string json = read_file(s.path("save.json"));
        EXPECT_NE(json.find("\"ended\": \"error\""), std::string::npos) << json;
        EXPECT_NE(json.find("\"exit_status\": 1"), std::string::npos) << json;
        EXPECT_NE(json.find("deliberate throw in the save"), std::string::npos) << json;
        EXPECT_NE(read_file(log).find("error: module thrower_save"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(s.path("saved.scn")));
    }

    // In a study the fault is the run's failure, with its reason.
    const std::string mods = copy_modules(s);
    std::system(
        ("cp " + std::string(VESSELSIM_TEST_MODULE_DIR) + "/thrower_step.so " + mods).c_str());
    std::string descent = kDescent;
    descent.insert(descent.find("END_SHIPS"),
                   "T:thrower_step\n  STATUS Landed Mars\n  POS 10 10\nEND\n");
    const std::string csv = s.path("study.csv");
    Outcome study = shell(s, kProgram + " montecarlo " + write_file(s.path("study.scn"), descent) +
                                 " --runs 1 --jobs 1 --modules " + mods + " --csv " + csv);
    EXPECT_EQ(study.status, 0) << study.err;
    EXPECT_NE(
        read_file(csv).find("clbkPostStep threw at t = 0.000 s: deliberate throw after the step"),
        std::string::npos)
        << read_file(csv);
}

// SIGINT and SIGTERM end a run at a frame boundary: exit 128 plus the signal, the event lines
// printed so far, the telemetry, the log and the summary kept, and no temporary file left.
TEST(ProgramOutputs, ASignalEndsTheRunAtAFrameAndKeepsWhatWasFlown) {
    for (const auto& [signal, status] : {std::pair{"INT", 130}, std::pair{"TERM", 143}}) {
        Scratch s("program_signal");
        const std::string scn = std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/mars_descent.scn";
        Outcome r = shell(s, std::string("timeout --preserve-status -s ") + signal + " 2 " +
                                 kProgram + " run " + scn + " --until 100000 --telemetry " +
                                 s.path("t.csv") + " --summary " + s.path("t.json"));
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(
            r.err.rfind(std::string("vesselsim: interrupted by SIG") + signal + " at t = ", 0), 0u)
            << r.err;
        EXPECT_NE(r.out.find("attach: Tevlan to Carrier"), std::string::npos) << r.out;
        const std::string json = read_file(s.path("t.json"));
        EXPECT_NE(json.find("\"ended\": \"interrupted\""), std::string::npos) << json;
        EXPECT_NE(json.find("\"exit_status\": " + std::to_string(status)), std::string::npos);
        EXPECT_NE(read_file(s.path("t.log")).find("error: interrupted by SIG"), std::string::npos);
        const std::string rows = read_file(s.path("t.csv"));
        EXPECT_GT(std::count(rows.begin(), rows.end(), '\n'), 3) << "frames were flown";
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(s.dir))
            left.push_back(e.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"stderr", "stdout", "t.csv", "t.json", "t.log"}));
    }
}

// A callback that never returns is ended by the wall time limit: exit 1, the module, vessel,
// callback and time named, the summary and the log written; a run that only takes long stops at
// its next frame.
TEST(ProgramOutputs, TheWallTimeLimitEndsARunAndAHungCallback) {
    Scratch s("program_wall_time");
    const std::string modules = std::string(" --modules ") + VESSELSIM_TEST_MODULE_DIR;
    const std::string hang = write_file(
        s.path("hang.scn"),
        "BEGIN_SHIPS\nH:thrower_hang\n  STATUS Landed Mars\n  POS 10 10\nEND\nEND_SHIPS\n");
    Outcome r = shell(s, kProgram + " run " + hang + modules + " --max-wall-time 0.5 --summary " +
                             s.path("h.json"));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("thrower_hang.so): vessel H: clbkPostStep hung at t = 0.000 s: no return "
                         "within the wall time limit of 0.5 s"),
              std::string::npos)
        << r.err;
    const std::string json = read_file(s.path("h.json"));
    EXPECT_NE(json.find("\"ended\": \"error\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"exit_status\": 1"), std::string::npos) << json;
    EXPECT_NE(read_file(s.path("h.log")).find("clbkPostStep hung"), std::string::npos);

    const std::string scn = std::string(VESSELSIM_SOURCE_DIR) + "/scenarios/mars_descent.scn";
    Outcome slow = shell(s, kProgram + " run " + scn + " --until 100000 --max-wall-time 0.5");
    EXPECT_EQ(slow.status, 1) << slow.err;
    EXPECT_EQ(slow.err.rfind("vesselsim: the run passed its wall time limit of 0.5 s at t = ", 0),
              0u)
        << slow.err;
}

// A module that takes 400 MB ends a run allowed 200 MB more than it started with (at its next
// frame, or at the allocation where the address space is capped), and not one allowed 1000 MB.
TEST(ProgramOutputs, TheMemoryLimitEndsARunThatTakesMore) {
    Scratch s("program_memory");
    const std::string run = kProgram + " run " +
                            write_file(s.path("hoard.scn"),
                                       "BEGIN_SHIPS\nH:careless_hoarder\n  STATUS Landed Mars\n"
                                       "  POS 10 10\nEND\nEND_SHIPS\n") +
                            " --modules " + VESSELSIM_TEST_MODULE_DIR + " --until 2";
    Outcome over = shell(s, run + " --max-memory 200 --summary " + s.path("h.json"));
    EXPECT_EQ(over.status, 1) << over.err;
    const bool at_frame = over.err.find("vesselsim: the run took ") == 0 &&
                          over.err.find("MB of memory by t = 1.0") != std::string::npos &&
                          over.err.find("more than its limit of 200 MB") != std::string::npos;
    const bool at_allocation = over.err.find("clbkBeforeStep threw") != std::string::npos &&
                               over.err.find("bad_alloc") != std::string::npos;
    EXPECT_TRUE(at_frame || at_allocation) << over.err;
    EXPECT_NE(read_file(s.path("h.json")).find("\"ended\": \"error\""), std::string::npos);
    Outcome under = shell(s, run + " --max-memory 1000");
    EXPECT_EQ(under.status, 0) << under.err;

    // Each run of a study has the limit in its own process, and the study says it has one.
    Outcome study = shell(s, kProgram + " montecarlo " + s.path("hoard.scn") + " --modules " +
                                 VESSELSIM_TEST_MODULE_DIR +
                                 " --vessel H --survive 2 --runs 1 --jobs 1 --max-memory 200 "
                                 "--csv " +
                                 s.path("h.csv"));
    EXPECT_EQ(study.status, 0) << study.err;
    EXPECT_NE(study.out.find("success: 0 of 1"), std::string::npos) << study.out;
    EXPECT_TRUE(study.out.find("MB of memory by t = 1.0") != std::string::npos ||
                study.out.find("bad_alloc") != std::string::npos)
        << study.out;
    EXPECT_NE(read_file(s.path("h.csv")).find("\n# max-memory: 200\nrun,"), std::string::npos);
}

// A report that cannot be written is a failure of every command, after its files are written.
TEST(ProgramOutputs, AnUnwritableStandardOutputFailsEveryCommand) {
    Scratch s("program_full");
    const std::string csv = s.path("study.csv");
    const std::string commands[] = {
        kProgram + " --version",
        kProgram + " run " + write_file(s.path("d.scn"), kDescent) + " --until 1",
        kProgram + " montecarlo " + s.path("d.scn") + " --runs 1 --jobs 1 --max-sim-time 1 --csv " +
            csv,
        kProgram + " montecarlo-merge " + csv,
    };
    for (const std::string& c : commands) {
        Outcome r = shell(s, "{ " + c + " >/dev/full; }");
        EXPECT_EQ(r.status, 1) << c << "\n" << r.err;
        EXPECT_NE(r.err.find("vesselsim: the standard output could not be written: No space left "
                             "on device"),
                  std::string::npos)
            << c << "\n"
            << r.err;
    }
    EXPECT_NE(read_file(csv).find("\n"), std::string::npos) << "the study's file is written";
}

// A name with control bytes, from a scenario, reaches the terminal escaped: it cannot drive it.
TEST(ProgramOutputs, ControlBytesFromAScenarioAreEscapedOnTheTerminal) {
    Scratch s("program_escape");
    const std::string scn =
        write_file(s.path("esc.scn"),
                   "BEGIN_SHIPS\nA\x1b[2J\x07"
                   "B:careless_no_mass\n  STATUS Landed Mars\n  POS 10 10\nEND\n"
                   "END_SHIPS\n");
    Outcome r =
        shell(s, kProgram + " run " + scn + " --until 0.1 --modules " + VESSELSIM_TEST_MODULE_DIR);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& text : {r.out, r.err}) {
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
        EXPECT_EQ(text.find('\x07'), std::string::npos) << text;
        EXPECT_NE(text.find("A\\x1b[2J\\x07B"), std::string::npos) << text;
    }
}
