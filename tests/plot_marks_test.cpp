// Marks on the plots: a dashed line at the mark's time on every panel (separation, touchdown,
// lift-off, launch), found by comparing pictures drawn with and without a mark.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "apps/common/plot_png.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
};

Picture plot(const std::vector<app::PlotMark>& marks) {
    const std::string path =
        ::testing::TempDir() + "plot_marks_" + std::to_string(getpid()) + ".png";
    std::vector<double> t, y;
    for (int i = 0; i <= 100; ++i) {
        t.push_back(i * 0.1);
        y.push_back(i % 7);
    }
    std::string error;
    EXPECT_TRUE(app::write_plot_png(path, "marks", t,
                                    {{"", "a", {{"a", y}}}, {"", "b", {{"b", y}}}}, error, marks))
        << error;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    Picture p{cairo_image_surface_get_width(s), cairo_image_surface_get_height(s), {}};
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int row = 0; row < p.height; ++row)
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(*reinterpret_cast<const unsigned*>(
                data + row * cairo_image_surface_get_stride(s) + 4 * x));
    cairo_surface_destroy(s);
    std::remove(path.c_str());
    return p;
}

// The columns where two pictures differ, and in how many rows of the lower panel.
std::vector<int> differing_columns(const Picture& a, const Picture& b, int& lower_rows) {
    std::vector<int> columns;
    lower_rows = 0;
    for (int x = 0; x < a.width; ++x) {
        bool differs = false;
        for (int row = 0; row < a.height; ++row)
            if (a.pixels[row * a.width + x] != b.pixels[row * a.width + x]) {
                differs = true;
                if (row > a.height / 2)
                    ++lower_rows;
            }
        if (differs)
            columns.push_back(x);
    }
    return columns;
}

// The columns where the lower panels differ: the line alone, without the label above it.
std::vector<int> line_columns(const Picture& a, const Picture& b) {
    std::vector<int> columns;
    for (int x = 0; x < a.width; ++x) {
        bool differs = false;
        for (int row = a.height / 2; row < a.height; ++row)
            differs |= a.pixels[row * a.width + x] != b.pixels[row * a.width + x];
        if (differs)
            columns.push_back(x);
    }
    return columns;
}

// The left and right edges of the panels' frames: the columns dark over a long stretch.
std::pair<int, int> frame_edges(const Picture& p) {
    int left = -1, right = -1;
    for (int x = 0; x < p.width; ++x) {
        int dark = 0;
        for (int row = 0; row < p.height; ++row)
            if (const unsigned c = p.pixels[row * p.width + x];
                (c & 0xff) < 100 && ((c >> 8) & 0xff) < 100 && ((c >> 16) & 0xff) < 100)
                ++dark;
        if (dark > p.height / 3) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    return {left, right};
}

}  // namespace

TEST(PlotMarks, ADashedLineAtEachMarksTimeOnEveryPanelAndNoneOutsideTheRun) {
    const Picture none = plot({});
    ASSERT_GT(none.width, 0);
    int lower = 0;
    // A mark at each quarter: the middle one half way between the others.
    auto centre = [&](double t) {
        const Picture marked = plot({{t, "touchdown"}});
        EXPECT_FALSE(differing_columns(none, marked, lower).empty()) << t;
        EXPECT_GT(lower, 20) << "the lower panel is marked too";
        const std::vector<int> cols = line_columns(none, marked);
        EXPECT_FALSE(cols.empty()) << t;
        EXPECT_LE(cols.size(), 3u) << "a thin line";
        return cols.empty() ? 0.0 : (cols.front() + cols.back()) / 2.0;
    };
    const double first = centre(2.5), middle = centre(5.0), last = centre(7.5);
    EXPECT_GT(last - first, none.width / 4);
    EXPECT_NEAR(middle, (first + last) / 2.0, 2.0);
    // The time axis runs from 0 to 10 s between the frame's edges: 5 s is half way.
    const auto [left, right] = frame_edges(none);
    EXPECT_GT(right - left, none.width / 2);
    EXPECT_NEAR(middle, (left + right) / 2.0, 0.02 * (right - left));
    EXPECT_TRUE(differing_columns(none, plot({{10.5, "after the run"}}), lower).empty());
}
