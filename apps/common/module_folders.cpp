#include "apps/common/module_folders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "apps/common/platform_files.h"

// The modules folder relative to the program's folder, as the build lays them out.
#ifndef VESSELSIM_MODULES_FROM_BIN
#define VESSELSIM_MODULES_FROM_BIN "../lib/vesselsim/modules"
#endif

namespace app {

namespace {

std::string environment_list() {
    const char* value = std::getenv(kModulesVariable);
    return value ? value : "";
}

// Why a folder cannot serve modules, or empty.
std::string unfit_folder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return errno == ENOENT ? "no such folder" : std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return "not a folder";
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return std::string("cannot read the folder: ") + std::strerror(errno);
    ::closedir(d);
    return "";
}

}  // namespace

std::string default_module_dir() {
    const std::string exe = program_file();
    if (exe.empty())
        return "modules";
    return (std::filesystem::path(exe).parent_path() / VESSELSIM_MODULES_FROM_BIN)
        .lexically_normal()
        .string();
}

std::vector<std::string> split_folders(const std::string& list) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t colon = list.find(folder_list_separator, start);
        if (colon == std::string::npos)
            colon = list.size();
        if (colon > start)
            folders.push_back(list.substr(start, colon - start));
        start = colon + 1;
    }
    return folders;
}

std::string join_folders(const std::vector<std::string>& lists) {
    std::string joined;
    for (const std::string& l : lists)
        if (!l.empty())
            joined += (joined.empty() ? "" : std::string(1, folder_list_separator)) + l;
    return joined;
}

sim::ModulePath module_path(const std::string& given) {
    sim::ModulePath path;
    for (const std::string& list : {given, environment_list()})
        if (auto folders = split_folders(list); !folders.empty())
            path.ranks.push_back(std::move(folders));
    path.ranks.push_back({default_module_dir()});
    return path;
}

std::string check_module_folders(const std::string& given) {
    for (const std::string& folder : split_folders(given))
        if (std::string why = unfit_folder(folder); !why.empty())
            return "--modules " + folder + ": " + why;
    for (const std::string& folder : split_folders(environment_list()))
        if (std::string why = unfit_folder(folder); !why.empty())
            return std::string(kModulesVariable) + " folder " + folder + ": " + why;
    return "";
}

}  // namespace app
