#include "apps/common/output_paths.h"

#include <filesystem>

#include "apps/common/platform_files.h"
#include "sim/output_file.h"

namespace app {

namespace fs = std::filesystem;

std::vector<PathUse> program_inputs(const sim::ModulePath& modules) {
    std::vector<PathUse> inputs{{"the program itself", program_file()}};
    for (const std::string& library : loaded_library_files())
        inputs.push_back({"the library " + library + " the program runs on", library});
    for (const std::string& folder : modules.folders()) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            const fs::path& p = entry.path();
            if (p.extension() == module_library_suffix)
                inputs.push_back({"the module library " + p.string(), p.string()});
        }
    }
    return inputs;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec))
        return same_existing_file(a, b);
    fs::path ca = fs::weakly_canonical(a, ec);
    if (ec)
        ca = fs::absolute(a, ec).lexically_normal();
    fs::path cb = fs::weakly_canonical(b, ec);
    if (ec)
        cb = fs::absolute(b, ec).lexically_normal();
    return ca == cb;
}

namespace {

// Why the file at path cannot be an output, or empty.
std::string unfit_target(const std::string& path) {
    if (path.empty())
        return "an empty path names no file";
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (fs::is_directory(st))
        return "is a folder";
    if (fs::exists(st))
        return sim::replaceable(path) ? "" : "the file is read-only; it is not replaced";
    fs::path parent = fs::absolute(path, ec).parent_path();
    if (!fs::is_directory(parent, ec))
        return "no folder " + parent.string() + " to write it in";
    return "";
}

}  // namespace

std::string check_output_paths(const std::vector<PathUse>& outputs,
                               const std::vector<PathUse>& inputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [what, path] = outputs[i];
        const std::string named = what + (path.empty() ? "" : " " + path);
        if (std::string why = unfit_target(path); !why.empty())
            return named + ": " + why;
        for (const PathUse& in : inputs)
            if (same_file(path, in.path))
                return named + ": would overwrite " + in.what;
        for (std::size_t j = 0; j < i; ++j)
            if (same_file(path, outputs[j].path))
                return named + ": the same file as " + outputs[j].what + " " + outputs[j].path;
    }
    return "";
}

}  // namespace app
