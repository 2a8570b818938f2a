#include "apps/montecarlo_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>

#include "apps/module_folders.h"
#include "apps/montecarlo_report.h"
#include "apps/option_checks.h"
#include "apps/output_paths.h"
#include "apps/process_pool.h"
#include "apps/run_loop.h"
#include "apps/run_options.h"
#include "sim/output_file.h"
#include "sim/text_file.h"

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

int usage_error(const std::string& what, const std::string& usage) {
    std::cerr << "vesselsim: " << what << "\n" << usage << "\n";
    return kExitUsage;
}

// The table on stdout, then the CSV and the plot the options ask for.
int finish(const std::vector<StudyRow>& rows, const std::string& program,
           const std::string& modules_dir, const Outputs& o) {
    write_report(rows, program, modules_dir, std::cout);
    std::string error;
    if (!o.csv_path.empty()) {
        std::string text = csv_header() + "\n";
        for (const auto& r : rows) text += csv_line(r) + "\n";
        if (!sim::write_file_whole(o.csv_path, text, error)) {
            std::cerr << "vesselsim: " << error << "\n";
            return kExitFailure;
        }
    }
    if (!o.plot_path.empty() && !write_speed_histogram(rows, o.plot_path, error)) {
        std::cerr << "vesselsim: " << error << "\n";
        return kExitFailure;
    }
    return kExitOk;
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

}  // namespace

int montecarlo_command(int argc, const char* const* argv) {
    CLI::App app{"vesselsim montecarlo: the landing envelope over dispersed start conditions",
                 "vesselsim montecarlo"};
    std::string scenario, shard, modules_dir;
    int runs = 0, jobs = available_cores();
    std::uint64_t seed = 1;
    Outputs out;
    DispersionRanges r;
    app.add_option("SCENARIO", scenario, "scenario file with a quor_tevlan lander")
        ->required()
        ->type_name("FILE");
    app.add_option("--runs", runs, "number of runs in the study")
        ->required()
        ->check(CLI::Range(1, 10000000))
        ->type_name("N");
    app.add_option("--seed", seed, "seed of the study (default 1)")->type_name("S");
    app.add_option("--jobs", jobs, "runs at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024))
        ->type_name("J");
    app.add_option("--shard", shard, "run only the K-th of N equal shards of the study")
        ->type_name("K/N");
    app.add_option("--csv", out.csv_path, "one row per run")
        ->check(output_path())
        ->type_name("FILE");
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
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp&) {
        std::cout << montecarlo_usage() << "\n\n" << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return usage_error(e.what(), montecarlo_usage());
    }
    if (scenario.find_first_of("\r\n") != std::string::npos)
        return usage_error("the scenario's path holds a line break", montecarlo_usage());
    if (r.dt_min_s > r.dt_max_s)
        return usage_error("--dt-min is more than --dt-max", montecarlo_usage());
    int shard_k = 1, shard_n = 1;
    if (!shard.empty() && !parse_shard(shard, shard_k, shard_n))
        return usage_error("--shard " + shard + ": expected K/N with 1 <= K <= N",
                           montecarlo_usage());
    modules_dir = join_folders(module_lists);
    std::vector<PathUse> inputs{{"the scenario it reads", scenario}};
    for (PathUse& p : program_inputs(module_path(modules_dir))) inputs.push_back(std::move(p));
    if (std::string why = check_output_paths(out.named(), inputs); !why.empty())
        return usage_error(why, montecarlo_usage());
    if (std::string why = check_module_folders(modules_dir); !why.empty()) {
        std::cerr << "vesselsim: " << why << "\n";
        return kExitFailure;
    }

    const RunRange range = shard_runs(runs, shard_k, shard_n);
    auto work = [&](int run) {
        StudyRow row{scenario, disperse(r, seed, run), {}};
        std::string error;
        row.touchdown = fly(scenario, modules_dir, row.dispersion, error);
        // A run that cannot even start ends the study: say why on the first line.
        return error.empty() ? csv_line(row) : "error: " + error;
    };
    const bool terminal = isatty(STDERR_FILENO);
    auto start = std::chrono::steady_clock::now();
    std::vector<ChildResult> results;
    try {
        results = run_in_processes(range.first, range.end, jobs, work,
                                   terminal ? show_progress : std::function<void(int, int)>());
    } catch (const std::exception& e) {
        std::cerr << "vesselsim: " << e.what() << "\n";
        return kExitFailure;
    }
    const double wall_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::vector<StudyRow> rows;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ChildResult& c = results[i];
        StudyRow row{scenario, disperse(r, seed, range.first + static_cast<int>(i)), {}};
        std::string error;
        if (c.text.rfind("error: ", 0) == 0) {
            std::cerr << "vesselsim: " << c.text.substr(7) << "\n";
            return kExitFailure;
        }
        if (!c.completed || !parse_csv_line(c.text, row, error)) {
            // The run's process died: the row keeps its conditions and says how.
            row.touchdown = {};
            row.touchdown.failure = c.completed ? "unreadable result" : c.why;
        }
        rows.push_back(row);
    }
    std::fprintf(stderr, "%zu runs in %.1f s of wall time, %d at a time\n", rows.size(), wall_s,
                 jobs);
    return finish(rows, argv[0], modules_dir, out);
}

int montecarlo_merge_command(int argc, const char* const* argv) {
    CLI::App app{"vesselsim montecarlo-merge: one report from the CSVs of a study's shards",
                 "vesselsim montecarlo-merge"};
    std::vector<std::string> inputs;
    Outputs out;
    app.add_option("CSV", inputs, "the shards' CSV files")->required()->type_name("CSV");
    app.add_option("--csv", out.csv_path, "the merged CSV")
        ->check(output_path())
        ->type_name("FILE");
    app.add_option("--plot", out.plot_path, "the distribution of touchdown speeds")
        ->check(output_path())
        ->type_name("FILE.png");
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp&) {
        std::cout << montecarlo_merge_usage() << "\n\n" << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return usage_error(e.what(), montecarlo_merge_usage());
    }
    std::vector<PathUse> csvs;
    for (const std::string& path : inputs) csvs.push_back({"the CSV " + path + " it merges", path});
    for (PathUse& p : program_inputs({})) csvs.push_back(std::move(p));
    if (std::string why = check_output_paths(out.named(), csvs); !why.empty())
        return usage_error(why, montecarlo_merge_usage());
    std::vector<StudyRow> rows;
    std::set<int> seen;
    for (const auto& path : inputs) {
        std::ifstream in;
        std::string line, error;
        if (!sim::open_text_file(path, in, error)) {
            std::cerr << "vesselsim: " << error << "\n";
            return kExitFailure;
        }
        if (sim::read_line(in, line) != sim::LineRead::line || line != csv_header()) {
            std::cerr << "vesselsim: " << path << ": not a montecarlo CSV\n";
            return kExitFailure;
        }
        for (int number = 2;; ++number) {
            const sim::LineRead got = sim::read_line(in, line);
            if (got == sim::LineRead::end)
                break;
            StudyRow row;
            if (got == sim::LineRead::too_long) {
                std::cerr << "vesselsim: " << path << ":" << number << ": a line longer than "
                          << sim::kMaxLineBytes << " characters\n";
                return kExitFailure;
            }
            if (!parse_csv_line(line, row, error)) {
                std::cerr << "vesselsim: " << path << ":" << number << ": " << error << "\n";
                return kExitFailure;
            }
            if (!rows.empty() && row.scenario != rows.front().scenario) {
                std::cerr << "vesselsim: " << path << ":" << number << ": scenario " << row.scenario
                          << " is not the study's (" << rows.front().scenario << ")\n";
                return kExitFailure;
            }
            if (!seen.insert(row.dispersion.run).second) {
                std::cerr << "vesselsim: " << path << ":" << number << ": run "
                          << row.dispersion.run << " appears twice\n";
                return kExitFailure;
            }
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end(), [](const StudyRow& a, const StudyRow& b) {
        return a.dispersion.run < b.dispersion.run;
    });
    return finish(rows, argv[0], "", out);
}

}  // namespace app
