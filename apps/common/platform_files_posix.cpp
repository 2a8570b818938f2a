#include <link.h>
#include <sys/stat.h>

#include <filesystem>

#include "apps/common/platform_files.h"

namespace app {

const char folder_list_separator = ':';
const char* const folder_list_usage = "DIR[:DIR...]";
const char* const module_library_suffix = ".so";

std::string program_file() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? "" : exe.string();
}

std::vector<std::string> loaded_library_files() {
    std::vector<std::string> files;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name && info->dlpi_name[0] == '/')
                static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
            return 0;
        },
        &files);
    return files;
}

bool same_existing_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool exists_as_other_than_plain_file(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace app
