// The Windows build has no PLplot: a plot is refused in one line.
#include "apps/common/plot_png.h"

namespace app {

namespace {

bool refuse(const std::string& path, std::string& error) {
    error = "cannot write " + path + ": plots are drawn by the Linux build only";
    return false;
}

}  // namespace

bool write_plot_png(const std::string& path, const std::string&, const std::vector<double>&,
                    const std::vector<PlotPanel>&, std::string& error,
                    const std::vector<PlotMark>&) {
    return refuse(path, error);
}

bool write_study_png(const std::string& path, const std::string&,
                     const std::vector<HistogramPanel>&, const std::vector<ScatterPanel>&,
                     std::string& error) {
    return refuse(path, error);
}

}  // namespace app
