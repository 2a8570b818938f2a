#include "apps/run/replay_output.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "apps/common/module_folders.h"
#include "apps/common/program_errors.h"

namespace app {

std::string viewer_script_path() {
    if (const char* given = std::getenv("VESSELSIM_VIEWER"); given && *given)
        return given;
    return (std::filesystem::path(default_module_dir()) / ".." / "viewer" / "replay-viewer.js")
        .lexically_normal()
        .string();
}

sim::ReplayOptions replay_options() {
    sim::ReplayOptions o;
    o.mesh_folders.push_back(default_module_dir() + "/meshes");
    return o;
}

bool write_replay(const sim::ReplayRecorder& recorder, const std::string& path, std::ostream& err,
                  std::string& error) {
    std::vector<std::string> warnings;
    const std::string json = recorder.json(warnings);
    for (const std::string& w : warnings) err << kProgramPrefix << "warning: replay: " << w << "\n";
    return sim::write_replay_page(path, json, viewer_script_path(), error);
}

}  // namespace app
