// Line plots of a run against time, written to a PNG file with PLplot.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

struct PlotSeries {
    std::string label;
    std::vector<double> values;  // one per time sample
};

struct PlotPanel {
    std::string title;
    std::string y_label;
    std::vector<PlotSeries> series;
};

// A moment of the run marked on every panel: a dashed vertical line, named on the top panel.
struct PlotMark {
    double t_s = 0.0;
    std::string label;  // "separation", "touchdown", ...
};

// The distribution of values in bins, with a marked limit (a vertical line) when there is one.
// With good (one flag for each value), the bins show the good values in green on the others in
// red.
struct HistogramPanel {
    std::string x_label;
    std::vector<double> values;
    std::optional<double> limit;
    std::vector<bool> good{};
};

// Points (x, y), the good ones green and the others red, with a marked limit of y (a
// horizontal line).
struct ScatterPanel {
    std::string x_label, y_label;
    std::vector<double> x, y;
    std::vector<bool> good{};
    double y_limit = 0.0;
};

// Draws the panels one above the other against the shared time axis, with the marks. False with
// a message when the file cannot be written.
bool write_plot_png(const std::string& path, const std::string& title,
                    const std::vector<double>& time_s, const std::vector<PlotPanel>& panels,
                    std::string& error, const std::vector<PlotMark>& marks = {});

// The histograms, then the scatters, in two columns. False with a message when the file cannot
// be written.
bool write_study_png(const std::string& path, const std::string& title,
                     const std::vector<HistogramPanel>& histograms,
                     const std::vector<ScatterPanel>& scatters, std::string& error);

// True when the file holds a whole PNG: its signature, then chunks whose lengths add up to the
// file's size, the last of them IEND. The plot library does not say when its writes fail; a
// short file is how a full disk shows.
bool is_complete_png(const std::string& path);

}  // namespace app
