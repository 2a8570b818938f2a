#include "apps/run/outputs.h"

#include <filesystem>

#include "apps/common/module_folders.h"
#include "apps/common/platform_files.h"

namespace app {

std::string log_path(const RunOptions& o) {
    const std::string& base = !o.telemetry_path.empty() ? o.telemetry_path
                              : !o.save_path.empty()    ? o.save_path
                                                        : o.summary_path;
    if (base.empty())
        return "";
    return std::filesystem::path(base).replace_extension(".log").string();
}

std::vector<PathUse> run_outputs(const RunOptions& o) {
    const PathUse all[] = {{"--telemetry", o.telemetry_path}, {"--summary", o.summary_path},
                           {"--plot", o.plot_path},           {"--hud", o.hud_path},
                           {"--save", o.save_path},           {"the log", log_path(o)},
                           {"--replay", o.replay_path}};
    std::vector<PathUse> outputs;
    for (const PathUse& p : all)
        if (!p.path.empty())
            outputs.push_back(p);
    return outputs;
}

std::string check_outputs(const RunOptions& o) {
    std::vector<PathUse> inputs{{"the scenario it reads", o.scenario}};
    for (PathUse& p : program_inputs(module_path(o.modules_dir))) inputs.push_back(std::move(p));
    if (std::string why = check_output_paths(run_outputs(o), inputs); !why.empty())
        return why;
    // A save replaces its target by renaming a new file onto it, which would turn a link or a
    // device into a plain file.
    if (!o.save_path.empty() && exists_as_other_than_plain_file(o.save_path))
        return "--save " + o.save_path + ": not a regular file; a scenario is saved only as one";
    return "";
}

}  // namespace app
