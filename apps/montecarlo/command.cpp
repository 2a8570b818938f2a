#include "apps/montecarlo/command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "apps/common/module_folders.h"
#include "apps/common/option_checks.h"
#include "apps/common/output_paths.h"
#include "apps/common/program_errors.h"
#include "apps/common/version.h"
#include "apps/montecarlo/flight.h"
#include "apps/montecarlo/plot.h"
#include "apps/montecarlo/process_pool.h"
#include "apps/montecarlo/report.h"
#include "apps/montecarlo/study_file.h"
#include "sim/output_file.h"

namespace app {

namespace {

struct Outputs {
    std::string csv_path, plot_path;

    std::vector<PathUse> named() const {
        std::vector<PathUse> all;
        if (!csv_path.empty())
            all.push_back({"--csv", csv_path});
        if (!plot_path.empty())
            all.push_back({"--plot", plot_path});
        return all;
    }
};

int usage_error(const std::string& what) {
    return report_usage_error(std::cerr, what, montecarlo_usage());
}

int study_failure(const std::string& what) {
    return report_failure(std::cerr, what);
}

// A bar that fills as runs complete, on a terminal only.
void show_progress(int done, int total) {
    constexpr int kWidth = 40;
    int filled = total ? done * kWidth / total : kWidth;
    std::fprintf(stderr, "\r  [%s%s] %d/%d runs", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), done, total);
    if (done == total)
        std::fprintf(stderr, "\n");
}

void add_range(CLI::App& app, const char* flag, double& value, const char* what, double lo,
               double hi, const char* unit) {
    app.add_option(flag, value, what)
        ->check(finite_within(lo, hi))
        ->capture_default_str()
        ->type_name(unit);
}

// A CSV that can take rows as they come: a regular file, or one still to be made. Anything
// else (a pipe, a device) gets the whole study at its end.
bool appendable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

// A file with something in it: a study stopped before its first write left it empty.
bool holds_anything(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

// A run that could not even start stops the study.
struct StudyStopped : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace

// The table on stdout, then the CSV (whole, its rows in run order) and the plot.
int finish_study(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                 const std::string& program, const std::string& modules_dir,
                 const std::string& csv_path, const std::string& plot_path) {
    write_report(rows, id, program, modules_dir, std::cout);
    std::string error;
    if (!csv_path.empty() && !sim::write_file_whole(csv_path, study_text(id, rows), error))
        return study_failure(error);
    if (!plot_path.empty() && !write_study_plot(rows, id, plot_path, error))
        return study_failure(error);
    return kExitOk;
}

namespace {

// A study as its command line asks for it.
struct StudyRequest {
    std::string scenario, shard, modules_dir;
    int runs = 0, jobs = available_cores();
    bool resume = false;
    bool min_propellant_given = false;
    StudyIdentity id;
    Outputs out;
    RunRange range;
};

// Reads the command line into the request. An exit status when the command ends here (help, a
// usage error), none when the study goes on.
std::optional<int> parse_study_request(int argc, const char* const* argv, StudyRequest& q) {
    CLI::App app{"vesselsim montecarlo: the landing envelope over dispersed start conditions",
                 "vesselsim montecarlo"};
    StudyIdentity& id = q.id;
    Outputs& out = q.out;
    DispersionRanges& r = id.ranges;
    Criteria& c = id.criteria;
    app.add_option("SCENARIO", q.scenario, "scenario file with the vessel to judge")
        ->required()
        ->type_name("FILE");
    app.add_option("--runs", q.runs, "number of runs in the study")
        ->required()
        ->check(CLI::Range(1, kMaxStudyRuns))
        ->type_name("N");
    app.add_option("--seed", id.seed, "seed of the study (default 1)")->type_name("S");
    app.add_option("--jobs", q.jobs, "runs at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024))
        ->type_name("J");
    app.add_option("--shard", q.shard, "run only the K-th of N equal shards of the study")
        ->type_name("K/N");
    app.add_option("--csv", out.csv_path, "one row per run, written as runs end")
        ->check(output_path())
        ->type_name("FILE");
    app.add_flag("--resume", q.resume,
                 "continue the study of the --csv file: fly its missing runs");
    app.add_option("--plot", out.plot_path, "the distribution of touchdown speeds")
        ->check(output_path())
        ->type_name("FILE.png");
    std::vector<std::string> module_lists;
    app.add_option("--modules", module_lists, "folders of module libraries, searched first")
        ->allow_extra_args(false)
        ->type_name("DIR[:DIR...]");
    add_range(app, "--height-spread", r.height_spread,
              "start heights above the ground vary by this fraction either way", 0.0, 0.99, "F");
    add_range(app, "--speed-spread", r.speed_spread,
              "start speeds over the ground vary by this fraction either way", 0.0, 0.99, "F");
    add_range(app, "--wind-max", r.wind_max_m_s, "wind from 0 up to this, from any direction", 0.0,
              1000.0, "M/S");
    add_range(app, "--turn-max", r.turn_max_deg,
              "start attitudes turned up to this either way about a random horizontal axis", 0.0,
              180.0, "DEG");
    add_range(app, "--dt-min", r.dt_min_s, "shortest frame", 1e-4, 0.1, "SECONDS");
    add_range(app, "--dt-max", r.dt_max_s, "longest frame", 1e-4, 0.1, "SECONDS");
    add_range(app, "--ground-offset-max", r.ground_offset_max_m,
              "ground raised or lowered up to this", 0.0, 1e5, "METRES");
    app.add_option("--vessel", c.vessel,
                   "the vessel judged (default: the first quor_tevlan lander)")
        ->type_name("NAME");
    add_range(app, "--max-vertical", c.max_vertical_m_s, "touchdown vertical speed under this", 0.0,
              1e6, "M/S");
    add_range(app, "--max-horizontal", c.max_horizontal_m_s,
              "touchdown horizontal speed under this", 0.0, 1e6, "M/S");
    add_range(app, "--max-tilt", c.max_tilt_deg, "touchdown tilt under this", 0.0, 180.0, "DEG");
    double min_propellant_kg = *c.min_propellant_kg;
    add_range(app, "--min-propellant", min_propellant_kg,
              "more than this propellant left at touchdown (default 0 for a vessel with tanks)",
              -1e9, 1e9, "KG");
    add_range(app, "--survive", c.survive_s,
              "instead of touching down, fly this long without a fault (0: touch down)", 0.0, 1e7,
              "SECONDS");
    add_range(app, "--max-sim-time", id.limits.sim_time_s,
              "a run that has not ended after this much simulated time fails", 1e-3, 1e7,
              "SECONDS");
    add_range(app, "--max-wall-time", id.limits.wall_time_s,
              "a run still flying after this much wall time is stopped and fails (0: no limit)",
              0.0, 1e7, "SECONDS");
    add_range(app, "--max-step", id.limits.max_step_s,
              "the motion's longest internal step in free flight (0: the default, 0.02)", 0.0, 0.1,
              "SECONDS");
    add_range(app, "--contact-step", id.limits.contact_step_s,
              "the motion's internal step near the ground (0: the default, 0.001)", 0.0, 0.01,
              "SECONDS");
    add_range(app, "--max-memory", id.limits.memory_mb,
              "a run whose flight takes more memory than this fails (0: no limit)", 0.0, 1e7, "MB");
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp&) {
        std::cout << montecarlo_usage() << "\n\n" << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return usage_error(e.what());
    }
    c.min_propellant_kg = min_propellant_kg;
    q.min_propellant_given = app.count("--min-propellant") > 0;
    const std::string& scenario = q.scenario;
    const std::string& shard = q.shard;
    if (scenario.find_first_of("\r\n") != std::string::npos)
        return usage_error("the scenario's path holds a line break");
    if (c.vessel.find_first_of("\r\n") != std::string::npos)
        return usage_error("the vessel's name holds a line break");
    if (r.dt_min_s > r.dt_max_s)
        return usage_error("--dt-min is more than --dt-max");
    for (const auto& [flag, step_s] : {std::pair{"--max-step", id.limits.max_step_s},
                                       std::pair{"--contact-step", id.limits.contact_step_s}})
        if (step_s > 0.0 && step_s < 1e-5)
            return usage_error(std::string(flag) + " is below 1e-5 s (0 for the default)");
    if (c.survive_s > id.limits.sim_time_s)
        return usage_error("--survive is more than --max-sim-time");
    if (!shard.empty() && !parse_shard(shard, id.shard_k, id.shard_n))
        return usage_error("--shard " + shard + ": expected K/N with 1 <= K <= N");
    q.range = shard_runs(q.runs, id.shard_k, id.shard_n);
    if (q.range.end == q.range.first)
        return usage_error("--shard " + shard + " of " + std::to_string(q.runs) +
                           " runs holds no run");
    if (q.resume && out.csv_path.empty())
        return usage_error("--resume continues the study of the --csv file: name one");
    if (q.resume && !appendable(out.csv_path))
        return usage_error("--resume needs a regular file as --csv");
    q.modules_dir = join_folders(module_lists);
    std::vector<PathUse> inputs{{"the scenario it reads", scenario}};
    for (PathUse& p : program_inputs(module_path(q.modules_dir))) inputs.push_back(std::move(p));
    if (std::string why = check_output_paths(out.named(), inputs); !why.empty())
        return usage_error(why);
    if (std::string why = check_module_folders(q.modules_dir); !why.empty())
        return study_failure(why);
    return std::nullopt;
}

// The study's CSV, ready to take rows: a new one holding the identity, or, when resuming, the
// file's rows read back (they go into rows) after checking that it is this study's. An exit
// status when the study cannot go on.
std::optional<int> open_study_csv(StudyRequest& q, StudyAppender& csv, bool live,
                                  std::vector<StudyRow>& rows) {
    StudyIdentity& id = q.id;
    const std::string& path = q.out.csv_path;
    std::string error;
    if (!(q.resume && holds_anything(path))) {
        if (live && !csv.start(path, identity_text(id) + csv_header() + "\n", error))
            return study_failure(error);
        return std::nullopt;
    }
    StudyFile before;
    if (!csv.lock(path, error))
        return study_failure(error + ": not resumed, the file is as it was");
    if (!read_study_file(path, before, error))
        return study_failure(error + ": not resumed, the file is as it was");
    std::string differs = identity_difference(id, before.identity);
    if (differs.empty() &&
        (before.identity.shard_k != id.shard_k || before.identity.shard_n != id.shard_n))
        differs = "shard " + std::to_string(before.identity.shard_k) + "/" +
                  std::to_string(before.identity.shard_n) + ", not " + std::to_string(id.shard_k) +
                  "/" + std::to_string(id.shard_n);
    if (!differs.empty())
        return study_failure(path + ": the CSV of another study (" + differs +
                             "): not resumed, the file is as it was");
    if (const StudyRow* stray = stray_row(before.rows, q.range))
        return study_failure(path + ": run " + std::to_string(stray->dispersion.run) +
                             " is not of this shard: not resumed, the file is as it was");
    int twice = 0;
    if (std::string which = repeated_runs(before.rows, twice); twice > 0)
        return study_failure(path + ": runs " + which +
                             " appear twice: not resumed, the file is as it was");
    // The rows keep naming the scenario by the path the study started with.
    id.scenario = before.identity.scenario;
    rows = std::move(before.rows);
    std::fprintf(stderr, "resuming %s: %zu of %d runs done\n", path.c_str(), rows.size(),
                 q.range.end - q.range.first);
    if (before.cut_last_line)
        std::fprintf(stderr,
                     "%s: its last line was cut off and is dropped (the file is cut back to "
                     "%llu bytes); its run, if it held one, is flown again\n",
                     path.c_str(), static_cast<unsigned long long>(before.whole_lines_bytes));
    if (!csv.resume(before.whole_lines_bytes, error))
        return study_failure(error);
    return std::nullopt;
}

// Flies the runs of the shard that rows lacks, J at a time, each row appended to the live CSV
// as its run ends.
std::optional<int> fly_missing_runs(const StudyRequest& q, const PreparedStudy& prepared,
                                    StudyAppender& csv, bool live, std::vector<StudyRow>& rows) {
    const StudyIdentity& id = q.id;
    const Criteria& c = id.criteria;
    const RunRange& range = q.range;
    std::vector<bool> done(static_cast<std::size_t>(range.end - range.first));
    for (const StudyRow& row : rows)
        done[static_cast<std::size_t>(row.dispersion.run - range.first)] = true;
    std::vector<int> todo;
    for (int run = range.first; run < range.end; ++run)
        if (!done[static_cast<std::size_t>(run - range.first)])
            todo.push_back(run);
    auto work = [&](int run) {
        StudyRow row{id.scenario, disperse(id.ranges, id.seed, run), {}};
        std::string why;
        row.touchdown = prepared.fly(row.dispersion, c, id.limits, why);
        // A run that cannot even start ends the study: say why on the first line.
        return why.empty() ? csv_line(row, c) : "error: " + why;
    };
    const bool terminal = isatty(STDERR_FILENO);
    const int total = range.end - range.first;
    auto ended = [&](int run, ChildResult& result) {
        StudyRow row{id.scenario, disperse(id.ranges, id.seed, run), {}};
        std::string why;
        if (result.text.rfind("error: ", 0) == 0)
            throw StudyStopped(result.text.substr(7));
        if (!result.completed || !parse_csv_line(result.text, c, row, why)) {
            // The run's process died or ran out of time: the row keeps its conditions and
            // says how.
            row.touchdown = {};
            row.touchdown.failure = result.timed_out   ? over_wall_time(id.limits)
                                    : result.completed ? "unreadable result"
                                                       : result.why;
        }
        if (live && !csv.append(csv_line(row, c), why))
            throw StudyStopped(why);
        rows.push_back(std::move(row));
        if (terminal)
            show_progress(static_cast<int>(rows.size()), total);
    };
    auto start = std::chrono::steady_clock::now();
    try {
        run_in_processes(todo, q.jobs, id.limits.wall_time_s, work, ended);
    } catch (const std::exception& e) {
        return study_failure(e.what());
    }
    const double wall_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%zu runs in %.1f s of wall time, %d at a time\n", todo.size(), wall_s,
                 q.jobs);
    return std::nullopt;
}

}  // namespace

int montecarlo_command(int argc, const char* const* argv) {
    StudyRequest q;
    if (std::optional<int> status = parse_study_request(argc, argv, q))
        return *status;
    StudyIdentity& id = q.id;
    Criteria& c = id.criteria;

    // The scenario read and loaded once; the modules of its vessels loaded here.
    PreparedStudy prepared;
    std::string error;
    if (!prepared.prepare(q.scenario, q.modules_dir, c, id.limits, error))
        return study_failure(error);
    // A vessel without tanks is not judged by the propellant it has left, unless asked.
    if (!prepared.carries_propellant() && !q.min_propellant_given)
        c.min_propellant_kg.reset();
    id.version = kVersion;
    id.scenario = q.scenario;
    id.scenario_hash = content_hash(prepared.text());
    id.runs = q.runs;
    id.vessel_class = prepared.vessel_class();

    // The runs done already, when resuming; the CSV ready to take the others.
    std::vector<StudyRow> rows;
    StudyAppender csv;
    const bool live = !q.out.csv_path.empty() && appendable(q.out.csv_path);
    if (std::optional<int> status = open_study_csv(q, csv, live, rows))
        return *status;
    if (std::optional<int> status = fly_missing_runs(q, prepared, csv, live, rows))
        return *status;
    std::sort(rows.begin(), rows.end(), [](const StudyRow& a, const StudyRow& b) {
        return a.dispersion.run < b.dispersion.run;
    });
    return finish_study(rows, id, argv[0], q.modules_dir, q.out.csv_path, q.out.plot_path);
}

}  // namespace app
