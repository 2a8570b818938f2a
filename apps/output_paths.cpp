#include "apps/output_paths.h"

#include <sys/stat.h>

#include <filesystem>

namespace app {

namespace fs = std::filesystem;

std::string log_path(const RunOptions& o) {
    const std::string& base = !o.telemetry_path.empty() ? o.telemetry_path : o.save_path;
    if (base.empty())
        return "";
    return fs::path(base).replace_extension(".log").string();
}

std::vector<std::pair<std::string, std::string>> run_outputs(const RunOptions& o) {
    const std::pair<std::string, std::string> all[] = {{"--telemetry", o.telemetry_path},
                                                       {"--plot", o.plot_path},
                                                       {"--hud", o.hud_path},
                                                       {"--save", o.save_path},
                                                       {"the log", log_path(o)}};
    std::vector<std::pair<std::string, std::string>> outputs;
    for (const auto& [what, path] : all)
        if (!path.empty())
            outputs.emplace_back(what, path);
    return outputs;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec))
        return fs::equivalent(a, b, ec);
    fs::path ca = fs::weakly_canonical(a, ec);
    if (ec)
        ca = fs::absolute(a, ec).lexically_normal();
    fs::path cb = fs::weakly_canonical(b, ec);
    if (ec)
        cb = fs::absolute(b, ec).lexically_normal();
    return ca == cb;
}

std::string check_outputs(const RunOptions& o) {
    auto outputs = run_outputs(o);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [what, path] = outputs[i];
        std::string named = what + " " + path;
        if (same_file(path, o.scenario))
            return named + ": would overwrite the scenario it reads";
        for (std::size_t j = 0; j < i; ++j)
            if (same_file(path, outputs[j].second))
                return named + ": the same file as " + outputs[j].first + " " + outputs[j].second;
    }
    // A save replaces its target by renaming a new file onto it, which would turn a link or a
    // device into a plain file.
    struct stat st {};
    if (!o.save_path.empty() && ::lstat(o.save_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return "--save " + o.save_path + ": not a regular file; a scenario is saved only as one";
    return "";
}

}  // namespace app
