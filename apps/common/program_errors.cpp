#include "apps/common/program_errors.h"

#include "apps/common/terminal_text.h"

namespace app {

int report_failure(std::ostream& err, const std::string& what) {
    err << kProgramPrefix << terminal_text(what) << "\n";
    return kExitFailure;
}

int report_usage_error(std::ostream& err, const std::string& what, const std::string& usage) {
    err << kProgramPrefix << terminal_text(what) << "\n" << usage << "\n";
    return kExitUsage;
}

}  // namespace app
