// vesselsim montecarlo as users run it: the same CSV and table whatever the number of jobs,
// shards run side by side with GNU parallel as docs/montecarlo.md says and merged into the single
// study, and a failed run replayed by the command the study prints for it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "apps/montecarlo/csv.h"
#include "support/program_outcome.h"

namespace {

// A short descent: the carrier from 2.5 km, the lander with propellant or without.
std::string scenario(const Scratch& s, bool propellant) {
    std::string path = s.path(propellant ? "short.scn" : "dry.scn");
    std::ofstream(path) << "BEGIN_SHIPS\nCarrier:carrier\n  STATUS Orbiting Mars\n"
                           "  GROUND_POS -45 22.5 2500\n  GROUND_VEL 5 3 -60\n"
                           "  HORIZON_ATT 88 0 240\nEND\nTevlan:quor_tevlan\n"
                           "  STATUS Orbiting Mars\n  ATTACHED 0:0,Carrier\n"
                        << (propellant ? "" : "  PRPLEVEL 0:0\n") << "END\nEND_SHIPS\n";
    return path;
}

// The rest of the line after the first occurrence of marker at or after from; "" without one.
std::string rest_of_line(const std::string& text, const std::string& marker, std::size_t from = 0) {
    std::size_t at = text.find(marker, from);
    if (at == std::string::npos)
        return "";
    at += marker.size();
    return text.substr(at, text.find('\n', at) - at);
}

std::string program() {
    return VESSELSIM_PROGRAM;
}

}  // namespace

TEST(MontecarloProgram, TheStudyIsTheSameForAnyJobsAndForItsShardsMerged) {
    Scratch s("montecarlo_test");
    const std::string study =
        program() + " montecarlo " + scenario(s, true) + " --runs 5 --seed 11 --dt-min 0.03";
    Outcome one = shell(s, study + " --jobs 1 --csv " + s.path("one.csv"));
    ASSERT_EQ(one.status, 0) << one.err;
    Outcome two = shell(s, study + " --jobs 2 --csv " + s.path("two.csv"));
    ASSERT_EQ(two.status, 0) << two.err;
    const std::string csv = read_file(s.path("one.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 23 + 6) << csv;
    EXPECT_EQ(read_file(s.path("two.csv")), csv);
    EXPECT_EQ(two.out, one.out);
    EXPECT_NE(one.out.find(": 5 runs\n  success: "), std::string::npos) << one.out;

    // The recipe of GNU parallel: four shards, two at a time on this host as on each of
    // several, then merged by the shell's list of their CSVs.
    Outcome shards = shell(s, "cd " + s.dir + " && parallel --will-cite --halt now,fail=1 " +
                                  "--sshlogin 2/: --workdir . " + study +
                                  " --jobs 1 --shard {}/4 --csv shard_{}.csv ::: $(seq 4)");
    ASSERT_EQ(shards.status, 0) << shards.err;
    EXPECT_NE(read_file(s.path("shard_1.csv")), read_file(s.path("shard_2.csv")));
    Outcome merged = shell(s, program() + " montecarlo-merge " + s.path("shard_*.csv") + " --csv " +
                                  s.path("merged.csv"));
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(read_file(s.path("merged.csv")), csv);
    EXPECT_EQ(merged.out, one.out);
    EXPECT_EQ(merged.err, "merged 4 CSVs of 4 shards: 5 runs\n");

    // A shard given twice is refused, not counted twice.
    Outcome twice = shell(
        s, program() + " montecarlo-merge " + s.path("shard_1.csv") + " " + s.path("shard_1.csv"));
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err,
              "vesselsim: run 0 appears twice: a shard given twice, or shards of different "
              "splits\n");
}

TEST(MontecarloProgram, AFailedRunPrintsTheCommandThatReplaysIt) {
    Scratch s("montecarlo_test");
    // Without propellant every run falls: each fails and prints its command.
    Outcome study = shell(s, program() + " montecarlo " + scenario(s, false) +
                                 " --runs 2 --seed 5 --jobs 2 --csv " + s.path("dry.csv"));
    ASSERT_EQ(study.status, 0) << study.err;
    EXPECT_NE(study.out.find("success: 0 of 2"), std::string::npos) << study.out;
    // Every limit the run broke, with its value: the lander fell, with nothing to brake it.
    const std::size_t run_1 = study.out.find("  run 1 (vertical speed ");
    ASSERT_NE(run_1, std::string::npos) << study.out;
    const std::string why = rest_of_line(study.out, "  run 1 (vertical speed ");
    EXPECT_NE(why.find(" m/s, limit 2.5; horizontal speed "), std::string::npos) << why;
    EXPECT_NE(why.find(" m/s, limit 0.5; propellant 0.0000 kg, limit more than 0): "),
              std::string::npos)
        << why;
    const std::string command = rest_of_line(study.out, "limit more than 0): ", run_1);
    ASSERT_FALSE(command.empty()) << study.out;
    Outcome replay = shell(s, command);
    ASSERT_EQ(replay.status, 0) << replay.err;

    std::istringstream rows(read_file(s.path("dry.csv")));
    std::string line;
    app::StudyRow row;
    std::string error;
    do std::getline(rows, line);
    while (line.rfind("run,", 0) != 0);
    std::getline(rows, line);
    std::getline(rows, line);
    ASSERT_TRUE(app::parse_csv_line(line, {}, row, error)) << error;
    ASSERT_EQ(row.dispersion.run, 1);
    const app::Touchdown& t = row.touchdown;
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "vertical %.2f m/s, horizontal %.2f m/s, tilt %.1f deg, propellant %.1f kg",
                  t.vertical_m_s, t.horizontal_m_s, t.tilt_deg, t.propellant_kg);
    const std::size_t lander = replay.out.find("  Tevlan (quor_tevlan)");
    ASSERT_NE(lander, std::string::npos) << replay.out;
    const std::string figures =
        rest_of_line(replay.out, " s: ", replay.out.find("touchdown at", lander));
    EXPECT_EQ(figures, expected) << replay.out;
    EXPECT_GT(t.vertical_m_s, 2.5);
}

TEST(MontecarloProgram, UsageErrorsExitWithTwo) {
    Scratch s("montecarlo_test");
    const std::string scn = scenario(s, true);
    for (const std::string& args :
         {std::string(""), scn, scn + " --runs 0", scn + " --runs 2 --shard 3/2",
          scn + " --runs 2 --shard x", scn + " --runs 2 --dt-min 0.04 --dt-max 0.02",
          scn + " --runs 2 --jobs 0", scn + " --runs 2 --wind-max -1"}) {
        Outcome r = shell(s, program() + " montecarlo " + args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("vesselsim: ", 0), 0u) << args;
    }
    Outcome missing = shell(s, program() + " montecarlo " + s.path("none.scn") + " --runs 1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read the file"), std::string::npos) << missing.err;
}

// The recipe of a Slurm job array, on a one-node cluster of its own started on this machine:
// four array tasks of ten runs, each a shard, merged into the whole study.
TEST(MontecarloProgram, TheShardsOfASlurmArrayMergeIntoTheWholeStudy) {
    if (geteuid() != 0)
        GTEST_SKIP() << "the cluster's daemons (munged, slurmctld, slurmd) run as root here";
    Scratch s("montecarlo_test");
    const std::string study =
        program() + " montecarlo " + scenario(s, true) + " --runs 40 --seed 7 --dt-min 0.04";
    std::ofstream(s.path("study.sh"))
        << "#!/bin/bash\n#SBATCH --array=1-4\n#SBATCH --cpus-per-task=1\n"
        << study
        << " --jobs \"$SLURM_CPUS_PER_TASK\" --shard "
           "\"$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT\" --csv "
           "\"out/shard_$SLURM_ARRAY_TASK_ID.csv\" --resume\n";
    // Submitted, then waited for until the queue has let go of it (at most two minutes).
    const std::string submit =
        "job=$(sbatch --parsable study.sh) && for i in $(seq 600); do "
        "squeue -h -j \"$job\" 2>/dev/null | grep -q . || exit 0; sleep 0.2; done; exit 1";
    Outcome array = shell(s, "cd " + s.dir + " && mkdir out && " + VESSELSIM_SOURCE_DIR +
                                 "/tests/slurm/one_node_cluster.sh " + s.path("cluster") +
                                 " sh -c '" + submit + "'");
    ASSERT_EQ(array.status, 0) << array.out << array.err
                               << read_file(s.path("cluster/slurmctld.log"));
    Outcome whole = shell(s, study + " --jobs 2 --csv " + s.path("whole.csv"));
    ASSERT_EQ(whole.status, 0) << whole.err;
    Outcome merged = shell(s, program() + " montecarlo-merge " + s.path("out/shard_*.csv") +
                                  " --csv " + s.path("merged.csv"));
    ASSERT_EQ(merged.status, 0) << merged.err << read_file(s.path("slurm-1_1.out"));
    EXPECT_EQ(merged.err, "merged 4 CSVs of 4 shards: 40 runs\n");
    EXPECT_EQ(read_file(s.path("merged.csv")), read_file(s.path("whole.csv")));
    EXPECT_EQ(merged.out, whole.out);
}
