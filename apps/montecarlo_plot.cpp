#include "apps/montecarlo_plot.h"

#include "apps/plot_png.h"

namespace app {

bool write_study_plot(const std::vector<StudyRow>& rows, const StudyIdentity& id,
                      const std::string& path, std::string& error) {
    std::vector<double> vertical, horizontal;
    for (const auto& r : rows)
        if (r.touchdown.touched) {
            vertical.push_back(r.touchdown.vertical_m_s);
            horizontal.push_back(r.touchdown.horizontal_m_s);
        }
    const Criteria& c = id.criteria;
    std::string title = "touchdown speeds of " + std::to_string(vertical.size()) + " runs";
    return write_histogram_png(path, title,
                               {{"vertical speed (m/s)", vertical, c.max_vertical_m_s},
                                {"horizontal speed (m/s)", horizontal, c.max_horizontal_m_s}},
                               error);
}

}  // namespace app
