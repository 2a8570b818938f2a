// `vesselsim montecarlo-merge`: the CSVs of a study's shards, checked to be of one study and to
// hold each of its runs once, reported as the whole study.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <set>

#include "apps/common/module_folders.h"
#include "apps/common/option_checks.h"
#include "apps/common/output_paths.h"
#include "apps/common/program_errors.h"
#include "apps/montecarlo/command.h"
#include "apps/montecarlo/study_file.h"

namespace app {

namespace {

int merge_refused(const std::string& what) {
    return report_failure(std::cerr, what);
}

}  // namespace

int montecarlo_merge_command(int argc, const char* const* argv) {
    CLI::App app{"vesselsim montecarlo-merge: one report from the CSVs of a study's shards",
                 "vesselsim montecarlo-merge"};
    std::vector<std::string> inputs;
    std::string csv_path, plot_path;
    app.add_option("CSV", inputs, "the shards' CSV files")->required()->type_name("CSV");
    app.add_option("--csv", csv_path, "the merged CSV")->check(output_path())->type_name("FILE");
    app.add_option("--plot", plot_path, "the distribution of touchdown speeds")
        ->check(output_path())
        ->type_name("FILE.png");
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp&) {
        std::cout << montecarlo_merge_usage() << "\n\n" << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        return report_usage_error(std::cerr, e.what(), montecarlo_merge_usage());
    }
    std::vector<PathUse> outputs, csvs;
    if (!csv_path.empty())
        outputs.push_back({"--csv", csv_path});
    if (!plot_path.empty())
        outputs.push_back({"--plot", plot_path});
    for (const std::string& path : inputs) csvs.push_back({"the CSV " + path + " it merges", path});
    // Every module library the program would load is an input too, as for montecarlo.
    for (PathUse& p : program_inputs(module_path(""))) csvs.push_back(std::move(p));
    if (std::string why = check_output_paths(outputs, csvs); !why.empty()) {
        return report_usage_error(std::cerr, why, montecarlo_merge_usage());
    }

    StudyIdentity study;
    std::vector<StudyRow> rows;
    std::set<std::pair<int, int>> shards;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string& path = inputs[i];
        StudyFile f;
        std::string error;
        if (!read_study_file(path, f, error))
            return merge_refused(error);
        const StudyIdentity& id = f.identity;
        if (f.cut_last_line)
            return merge_refused(path + ": its last line is cut: the study that wrote it " +
                                 "did not finish (resume it with --resume)");
        if (i == 0)
            study = id;
        else if (std::string differs = identity_difference(study, id); !differs.empty())
            return merge_refused(path + ": of another study than " + inputs.front() + " (" +
                                 differs + ")");
        if (f.rows.empty())
            return merge_refused(path + ": holds no run");
        if (const StudyRow* stray = stray_row(f.rows, shard_runs(id.runs, id.shard_k, id.shard_n)))
            return merge_refused(path + ": run " + std::to_string(stray->dispersion.run) +
                                 " is not of its shard " + std::to_string(id.shard_k) + "/" +
                                 std::to_string(id.shard_n));
        shards.insert({id.shard_k, id.shard_n});
        rows.insert(rows.end(), f.rows.begin(), f.rows.end());
    }
    int twice = 0, missing = 0;
    if (std::string which = repeated_runs(rows, twice); twice > 0)
        return merge_refused(
            (twice == 1 ? "run " + which + " appears" : "runs " + which + " appear") +
            " twice: a shard given twice, or shards of different splits");
    if (std::string which = missing_runs(rows, 0, study.runs, missing); missing > 0)
        return merge_refused("the study of " + std::to_string(study.runs) + " runs lacks " +
                             std::to_string(missing) + (missing == 1 ? ": run " : ": runs ") +
                             which);
    std::sort(rows.begin(), rows.end(), [](const StudyRow& a, const StudyRow& b) {
        return a.dispersion.run < b.dispersion.run;
    });
    std::cerr << "merged " << inputs.size() << (inputs.size() == 1 ? " CSV" : " CSVs") << " of "
              << shards.size() << (shards.size() == 1 ? " shard" : " shards") << ": " << rows.size()
              << " runs\n";
    // The merged study is the whole study: one shard of one.
    study.shard_k = study.shard_n = 1;
    return finish_study(rows, study, argv[0], "", csv_path, plot_path);
}

}  // namespace app
