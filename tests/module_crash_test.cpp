// A module that crashes is named by the program: one line with its class, library file,
// vessel, callback and simulated time, after every event line already printed; the run's
// telemetry and log up to the crash are kept; a study records it as the run's failure.
#include <fstream>
#include <string>

#include "sim/crash_report.h"
#include "support/program_outcome.h"

namespace {

std::string one_vessel(const std::string& class_name) {
    return "BEGIN_SHIPS\nC:" + class_name +
           "\n  STATUS Orbiting Mars\n  GROUND_POS 0 0 1000\n  HORIZON_ATT 90 0 "
           "0\nEND\nEND_SHIPS\n";
}

}  // namespace

TEST(ModuleCrash, ARunNamesTheModuleAfterItsEventLinesAndKeepsItsTelemetryAndLog) {
    Scratch s("module_crash");
    const std::string scn = write_file(s.path("crash.scn"), one_vessel("crasher_step"));
    const std::string csv = s.path("t.csv");
    Outcome r = shell(s, kProgram + " run " + scn + " --dt 0.1 --until 5 --modules " +
                             kTestModules + " --telemetry " + csv);
    EXPECT_EQ(r.status, sim::kExitModuleCrash) << r.err;
    EXPECT_EQ(r.err, "vesselsim: module crasher_step (" + kTestModules +
                         "/crasher_step.so): vessel C: clbkPostStep crashed at t = 0.500 s: "
                         "SIGSEGV (invalid memory access)\n");
    // The engine lit in the first frame: its line was printed before the crash.
    EXPECT_EQ(r.out, "     0.10  C thrusters lit: main 1.00\n");
    const std::string rows = read_file(csv);
    EXPECT_EQ(rows.rfind("time_s,", 0), 0u) << rows;
    EXPECT_NE(rows.find("\n0.4"), std::string::npos) << "rows up to the last whole frame\n" << rows;
    EXPECT_NE(read_file(s.path("t.log")).find("error: module crasher_step"), std::string::npos);

    // A module that aborts is reported the same way, with the signal named.
    Outcome aborted =
        shell(s, kProgram + " run " + write_file(s.path("abort.scn"), one_vessel("crasher_abort")) +
                     " --dt 0.1 --until 5 --modules " + kTestModules);
    EXPECT_EQ(aborted.status, sim::kExitModuleCrash) << aborted.err;
    EXPECT_EQ(aborted.err, "vesselsim: module crasher_abort (" + kTestModules +
                               "/crasher_abort.so): vessel C: clbkPostStep crashed at t = 0.500 s: "
                               "SIGABRT (aborted)\n");
}

TEST(ModuleCrash, ALibraryThatCrashesAsItLoadsIsNamedByRunAndDescribe) {
    Scratch s("module_crash");
    const std::string modules = " --modules " + kTestModules;
    const std::string expected = "vesselsim: module " + kTestModules +
                                 "/crasher_load.so crashed while loading: SIGSEGV (invalid "
                                 "memory access)\n";
    Outcome described = shell(s, kProgram + " describe crasher_load" + modules);
    EXPECT_EQ(described.status, sim::kExitModuleCrash);
    EXPECT_EQ(described.err, expected);
    const std::string scn = write_file(s.path("load.scn"), one_vessel("crasher_load"));
    Outcome ran = shell(s, kProgram + " run " + scn + modules);
    EXPECT_EQ(ran.status, sim::kExitModuleCrash);
    EXPECT_EQ(ran.err, expected);
}

// Each run of a study is a process of its own: the crash is that run's failure, and the study
// goes on to its report.
TEST(ModuleCrash, AStudyRecordsTheCrashAsTheFailureOfTheRun) {
    Scratch s("module_crash");
    const std::string mods = s.path("mods");
    std::system(("mkdir -p " + mods + " && cp " + VESSELSIM_MODULE_DIR + "/*.so " + kTestModules +
                 "/crasher_step.so " + mods)
                    .c_str());
    std::string study = kDescent;
    study.insert(study.find("END_SHIPS"),
                 "C:crasher_step\n  STATUS Landed Mars\n  POS 10 10\nEND\n");
    const std::string scn = write_file(s.path("study.scn"), study);
    const std::string csv = s.path("study.csv");
    Outcome r = shell(s, kProgram + " montecarlo " + scn + " --runs 1 --jobs 1 --modules " + mods +
                             " --csv " + csv);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read_file(csv).find("clbkPostStep crashed at t = 0.5"), std::string::npos)
        << read_file(csv);
}
