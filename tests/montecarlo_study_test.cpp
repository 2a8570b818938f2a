// A study as a cluster treats it: shards merged only when they make one whole study, a study
// killed at any moment resumed to the same CSV, any vessel judged by its own limits, and no run
// that goes on without end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "apps/common/plot_png.h"
#include "apps/montecarlo/study_file.h"
#include "support/program_outcome.h"

namespace {

// The rows of a study's CSV: its lines after the header.
long rows_in(const std::string& csv) {
    const std::size_t header = csv.find("\nrun,");
    if (header == std::string::npos)
        return 0;
    return std::count(csv.begin() + static_cast<std::ptrdiff_t>(header) + 1, csv.end(), '\n') - 1;
}

// The command as a process of its own (exec'd by the shell, so the pid is the program's).
pid_t start(const Scratch& s, const std::string& command) {
    pid_t pid = fork();
    if (pid == 0) {
        const std::string c = "exec " + command + " >" + s.path("bg.out") + " 2>&1";
        execl("/bin/sh", "sh", "-c", c.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

}  // namespace

TEST(MontecarloStudy, AMergeTakesOnlyTheWholeOfOneStudy) {
    Scratch s("montecarlo_study");
    const std::string scn = write_file(s.path("d.scn"), kDescent);
    const std::string any_seed = kProgram + " montecarlo " + scn + " --dt-min 0.04 --jobs 2";
    const std::string study = any_seed + " --seed 3";
    for (int k = 1; k <= 4; ++k) {
        const std::string shard = std::to_string(k);
        Outcome r = shell(
            s, study + " --runs 8 --shard " + shard + "/4 --csv " + s.path("s" + shard + ".csv"));
        ASSERT_EQ(r.status, 0) << r.err;
    }
    const std::string merge =
        kProgram + " montecarlo-merge " + s.path("s1.csv") + " " + s.path("s2.csv") + " ";
    Outcome whole = shell(s, merge + s.path("s3.csv") + " " + s.path("s4.csv"));
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.err, "merged 4 CSVs of 4 shards: 8 runs\n");

    // The same scenario named by another path is the same study.
    Outcome here = shell(s, "cd " + s.dir + " && " + kProgram + " montecarlo " + "d.scn" +
                                " --seed 3 --dt-min 0.04 --runs 8 --shard 4/4 --csv s4_rel.csv");
    ASSERT_EQ(here.status, 0) << here.err;
    Outcome relative = shell(s, merge + s.path("s3.csv") + " " + s.path("s4_rel.csv"));
    EXPECT_EQ(relative.status, 0) << relative.err;

    // Shards of other studies, a gap, a cut file, an empty one, another version: one line each,
    // and the merged CSV is not written.
    Outcome seed = shell(s, any_seed + " --seed 4 --runs 8 --shard 4/4 --csv " + s.path("x4.csv"));
    ASSERT_EQ(seed.status, 0) << seed.err;
    Outcome runs = shell(s, study + " --runs 10 --shard 4/4 --csv " + s.path("r4.csv"));
    ASSERT_EQ(runs.status, 0) << runs.err;
    const std::string s2 = read_file(s.path("s2.csv"));
    write_file(s.path("cut.csv"), s2.substr(0, s2.size() - 9));
    write_file(s.path("empty.csv"), s2.substr(0, s2.find('\n', s2.find("\nrun,") + 1) + 1));
    std::string old = s2;
    const std::size_t version = old.find("# version: ");
    old.replace(version, old.find('\n', version) - version, "# version: 0.0.1");
    write_file(s.path("old.csv"), old);
    // A row's conditions must be those the study's seed gives its run; no more rows than runs.
    std::string moved = s2;
    const std::size_t row = moved.find('\n', moved.find("\nrun,") + 1) + 1;
    const std::size_t dt = moved.find(",0.0", row);
    moved.replace(dt, 4, ",0.1");
    write_file(s.path("moved.csv"), moved);
    write_file(s.path("twice.csv"), s2 + s2.substr(s2.find('\n', s2.find("\nrun,") + 1) + 1));
    struct Case {
        std::string inputs, message;
    };
    const Case cases[] = {
        {s.path("s3.csv"), "the study of 8 runs lacks 2: runs 6-7"},
        {s.path("s4.csv") + " " + s.path("s1.csv"), "runs 0-1 appear twice"},
        {s.path("s3.csv") + " " + s.path("x4.csv"),
         s.path("x4.csv") + ": of another study than " + s.path("s1.csv") + " (seed 4, not 3)"},
        {s.path("s3.csv") + " " + s.path("r4.csv"),
         s.path("r4.csv") + ": of another study than " + s.path("s1.csv") + " (runs 10, not 8)"},
        {s.path("s3.csv") + " " + s.path("cut.csv"),
         s.path("cut.csv") + ": its last line is cut: the study that wrote it did not finish"},
        {s.path("s3.csv") + " " + s.path("s4.csv") + " " + s.path("empty.csv"),
         s.path("empty.csv") + ": holds no run"},
        {s.path("moved.csv"), s.path("moved.csv") + ":25: run 2's seed or conditions are not"},
        {s.path("twice.csv"),
         s.path("twice.csv") + ":27: more rows than the 2 runs of its shard (runs repeated?)"},
        {s.path("old.csv"),
         s.path("old.csv") + ": written by vesselsim 0.0.1, this is " VESSELSIM_VERSION},
    };
    for (const Case& c : cases) {
        Outcome r = shell(s, merge + c.inputs + " --csv " + s.path("merged.csv"));
        EXPECT_EQ(r.status, 1) << c.inputs << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("vesselsim: " + c.message, 0), 0u) << c.inputs << "\n" << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(read_file(s.path("merged.csv")), "");
    }
}

// A shard holds the runs from its first to before its end: a row of either neighbour is stray
// (one at the end would otherwise be counted past the shard's runs).
TEST(MontecarloStudy, ARowOutsideItsShardIsStrayAtBothEnds) {
    const app::RunRange shard{5, 10};
    // The runs of two rows, and which of them is stray (-1: neither).
    const struct { int runs[2], stray; } cases[] = {{{5, 9}, -1}, {{5, 10}, 1}, {{4, 9}, 0}};
    for (const auto& c : cases) {
        std::vector<app::StudyRow> rows(2);
        for (int i = 0; i < 2; ++i) rows[i].dispersion.run = c.runs[i];
        EXPECT_EQ(app::stray_row(rows, shard), c.stray < 0 ? nullptr : &rows[c.stray])
            << c.runs[0] << ", " << c.runs[1];
    }
}

TEST(MontecarloStudy, AStudyKilledMidwayResumesToTheSameCsv) {
    Scratch s("montecarlo_study");
    const std::string scn = write_file(s.path("d.scn"), kDescent);
    const std::string any_seed =
        kProgram + " montecarlo " + scn + " --runs 12 --dt-min 0.02 --dt-max 0.04";
    const std::string study = any_seed + " --seed 9";
    Outcome whole = shell(s, study + " --jobs 2 --csv " + s.path("whole.csv"));
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::string expected = read_file(s.path("whole.csv"));
    ASSERT_EQ(rows_in(expected), 12) << expected;

    // Killed without warning once a few rows are in the file: they are there, in the order the
    // runs ended.
    const std::string part = s.path("part.csv");
    pid_t pid = start(s, study + " --jobs 2 --csv " + part);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (rows_in(read_file(part)) < 3 && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const long kept = rows_in(read_file(part));
    ASSERT_GE(kept, 3);
    ASSERT_LT(kept, 12) << "the study ended before it was killed";
    // As if the kill had come in the middle of a row: the cut line is dropped, and said so.
    const std::size_t whole_lines = read_file(part).size();
    write_file(part, read_file(part) + "7,1234");

    // Resumed, it flies only the runs it lacks; its rows name the scenario as the study did,
    // though this resume names it by another path.
    Outcome resumed = shell(s, "cd " + s.dir + " && " + kProgram +
                                   " montecarlo d.scn --runs 12 --dt-min 0.02 --dt-max 0.04 "
                                   "--seed 9 --jobs 1 --resume --csv " +
                                   part);
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(
        resumed.err.rfind(
            "resuming " + part + ": " + std::to_string(kept) + " of 12 runs done\n" + part +
                ": its last line was cut off and is dropped (the file is cut "
                "back to " +
                std::to_string(whole_lines) + " bytes); its run, if it held one, is flown again\n" +
                std::to_string(12 - kept) + " runs in ",
            0),
        0u)
        << resumed.err;
    EXPECT_EQ(read_file(part), expected);
    EXPECT_EQ(resumed.out, whole.out);

    // Resuming a finished study flies nothing; another study's CSV is refused as it is.
    Outcome again = shell(s, study + " --jobs 1 --resume --csv " + part);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("\n0 runs in "), std::string::npos) << again.err;
    EXPECT_EQ(read_file(part), expected);

    // While a study holds the file, neither a resume nor a new study on it touches it.
    {
        const int held = ::open(part.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        for (const std::string& second :
             {study + " --jobs 1 --resume --csv " + part, study + " --jobs 1 --csv " + part}) {
            Outcome refused = shell(s, second);
            EXPECT_EQ(refused.status, 1) << second;
            EXPECT_NE(refused.err.find(part + " is in use by another study"), std::string::npos)
                << refused.err;
        }
        ::close(held);
        EXPECT_EQ(read_file(part), expected);
    }
    for (const std::string& other :
         {any_seed + " --seed 10", study + " --max-tilt 4", study + " --shard 1/2"}) {
        Outcome refused = shell(s, other + " --resume --csv " + part);
        EXPECT_EQ(refused.status, 1) << other << "\n" << refused.err;
        EXPECT_EQ(refused.err.rfind("vesselsim: " + part + ": the CSV of another study (", 0), 0u)
            << refused.err;
        EXPECT_NE(refused.err.find("): not resumed, the file is as it was\n"), std::string::npos)
            << refused.err;
        if (other.find("--shard") != std::string::npos) {
            EXPECT_NE(refused.err.find("(shard 1/1, not 1/2)"), std::string::npos) << refused.err;
        }
        EXPECT_EQ(read_file(part), expected);
    }
    Outcome no_csv = shell(s, study + " --resume");
    EXPECT_EQ(no_csv.status, 2) << no_csv.err;

    // Stopped before its first write, a study leaves an empty file: resumed, it starts over.
    const std::string empty = write_file(s.path("empty.csv"), "");
    Outcome from_nothing = shell(s, study + " --jobs 2 --resume --csv " + empty);
    ASSERT_EQ(from_nothing.status, 0) << from_nothing.err;
    EXPECT_EQ(read_file(empty), expected);
}

TEST(MontecarloStudy, AnyVesselIsJudgedByItsOwnLimitsAndNoRunGoesOnWithoutEnd) {
    Scratch s("montecarlo_study");
    // A capsule alone, falling from 3 km with nothing to open its parachute.
    const std::string study = kProgram + " montecarlo " +
                              write_file(s.path("falling.scn"), kFalling) + " --runs 2 --jobs 2 ";
    Outcome lander = shell(s, study);
    EXPECT_EQ(lander.status, 1);
    EXPECT_EQ(lander.err,
              "vesselsim: " + s.path("falling.scn") + ": no quor_tevlan lander to judge\n");
    Outcome nobody = shell(s, study + "--vessel Nobody");
    EXPECT_EQ(nobody.status, 1);
    EXPECT_EQ(nobody.err,
              "vesselsim: " + s.path("falling.scn") + ": no vessel named Nobody to judge\n");

    // Judged by the lander's limits the capsule crashes; it has no autopilot to switch off.
    Outcome crash = shell(s, study + "--vessel Carrier --csv " + s.path("crash.csv") + " --plot " +
                                 s.path("crash.png"));
    ASSERT_EQ(crash.status, 0) << crash.err;
    EXPECT_TRUE(app::is_complete_png(s.path("crash.png")));
    EXPECT_NE(crash.out.find("success: 0 of 2 (0.0%): touchdown, vertical under 2.5 m/s"),
              std::string::npos)
        << crash.out;
    EXPECT_NE(crash.out.find("  run 1 (vertical speed "), std::string::npos) << crash.out;
    EXPECT_EQ(crash.out.find("autopilot"), std::string::npos) << crash.out;
    // The capsule has no tanks: what it has left is not judged unless a limit is given.
    EXPECT_EQ(crash.out.find("propellant 0.0000 kg"), std::string::npos) << crash.out;
    EXPECT_NE(read_file(s.path("crash.csv"))
                  .find("# vessel: Carrier\n# vessel-class: carrier\n# max-vertical: 2.5\n"
                        "# max-horizontal: 0.5\n# max-tilt: 5\n# min-propellant: none\n"),
              std::string::npos);
    const std::string tough_limits =
        "--vessel Carrier --max-vertical 400 --max-horizontal 400 --max-tilt 180 ";
    Outcome tough = shell(s, study + tough_limits);
    ASSERT_EQ(tough.status, 0) << tough.err;
    EXPECT_NE(tough.out.find("success: 2 of 2 (100.0%): touchdown, vertical under 400 m/s, "
                             "horizontal under 400 m/s, tilt under 180 deg\n"),
              std::string::npos)
        << tough.out;
    Outcome asked = shell(s, study + tough_limits + "--min-propellant 0");
    ASSERT_EQ(asked.status, 0) << asked.err;
    EXPECT_NE(asked.out.find("success: 0 of 2 (0.0%): touchdown, vertical under 400 m/s, "
                             "horizontal under 400 m/s, tilt under 180 deg, propellant left\n"),
              std::string::npos)
        << asked.out;
    EXPECT_NE(asked.out.find("  run 0 (propellant 0.0000 kg, limit more than 0): "),
              std::string::npos)
        << asked.out;
    Outcome survive = shell(s, study + "--vessel Carrier --survive 3");
    ASSERT_EQ(survive.status, 0) << survive.err;
    EXPECT_NE(survive.out.find("success: 2 of 2 (100.0%): 3 s of flight without a fault"),
              std::string::npos)
        << survive.out;

    // A vessel standing on the ground at the start is judged by its first touchdown after a
    // lift-off: one that never lifts off has none; a survival study of it takes the dispersions
    // of wind and ground, though nothing flies.
    const std::string parked = write_file(s.path("parked.scn"), kParked);
    const std::string parked_study = kProgram + " montecarlo " + parked + " --runs 2 --jobs 2 ";
    Outcome standing = shell(s, parked_study + "--vessel Parked --max-sim-time 3");
    ASSERT_EQ(standing.status, 0) << standing.err;
    EXPECT_NE(standing.out.find("success: 0 of 2 (0.0%)"), std::string::npos) << standing.out;
    EXPECT_NE(standing.out.find("  run 1 (over the simulated time limit of 3 s): "),
              std::string::npos)
        << standing.out;
    Outcome stood =
        shell(s, parked_study + "--vessel Parked --survive 2 --csv " + s.path("parked.csv"));
    ASSERT_EQ(stood.status, 0) << stood.err;
    EXPECT_NE(stood.out.find("success: 2 of 2 (100.0%)"), std::string::npos) << stood.out;
    EXPECT_NE(stood.out.find("(0 touchdowns)"), std::string::npos) << stood.out;
    app::StudyFile parked_file;
    std::string error;
    ASSERT_TRUE(app::read_study_file(s.path("parked.csv"), parked_file, error)) << error;
    ASSERT_EQ(parked_file.rows.size(), 2u);
    for (const app::StudyRow& row : parked_file.rows) {
        EXPECT_FALSE(row.touchdown.touched);
        EXPECT_GE(row.dispersion.start.wind_m_s, 0.0);
    }

    // A run past its limit of simulated or of wall time fails with that reason.
    Outcome sim_time = shell(s, study + "--vessel Carrier --max-sim-time 3");
    ASSERT_EQ(sim_time.status, 0) << sim_time.err;
    EXPECT_NE(sim_time.out.find("  run 0 (over the simulated time limit of 3 s): "),
              std::string::npos)
        << sim_time.out;
    Outcome wall = shell(s, study + "--vessel Carrier --max-wall-time 0.001");
    ASSERT_EQ(wall.status, 0) << wall.err;
    EXPECT_NE(wall.out.find("  run 1 (over the wall time limit of 0.001 s): "), std::string::npos)
        << wall.out;

    for (const std::string& usage : {std::string("--vessel Carrier --runs 2 --shard 3/4"),
                                     std::string("--vessel Carrier --survive 10 --max-sim-time 5"),
                                     std::string("--vessel Carrier --max-wall-time -1")}) {
        Outcome r = shell(s, study + usage);
        EXPECT_EQ(r.status, 2) << usage << "\n" << r.err;
    }
}
