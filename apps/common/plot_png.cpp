#include "apps/common/plot_png.h"

#include <plplot.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "sim/output_file.h"

namespace app {

namespace {

// Line colours from PLplot's default map, one per series of a panel.
constexpr PLINT kColours[] = {1, 3, 9, 8, 13, 2};

void range_of(const std::vector<double>& v, double& lo, double& hi) {
    for (double x : v) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
}

void draw_panel(const std::vector<double>& t, const PlotPanel& panel, bool first, bool last,
                const std::vector<PlotMark>& marks) {
    double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    for (const auto& s : panel.series) range_of(s.values, lo, hi);
    if (lo > hi)
        lo = hi = 0.0;
    double pad = std::max((hi - lo) * 0.05, 1e-3);
    plcol0(15);
    plenv(t.front(), std::max(t.back(), t.front() + 1e-3), lo - pad, hi + pad, 0, 0);
    pllab(last ? "time (s)" : "", panel.y_label.c_str(), panel.title.c_str());
    std::size_t i = 0;
    for (const auto& s : panel.series) {
        std::size_t n = std::min(s.values.size(), t.size());
        plcol0(kColours[i % std::size(kColours)]);
        plline(static_cast<PLINT>(n), t.data(), s.values.data());
        ++i;
    }
    // Marks closer than a fiftieth of the time axis share the first one's label, which would
    // otherwise be written over by the next.
    const double near_s = (t.back() - t.front()) / 50.0;
    std::vector<PlotMark> labels;
    for (const PlotMark& m : marks) {
        if (m.t_s < t.front() || m.t_s > t.back())
            continue;
        const PLFLT x[2] = {m.t_s, m.t_s}, y[2] = {lo - pad, hi + pad};
        plcol0(8);
        pllsty(2);
        plline(2, x, y);
        pllsty(1);
        if (!labels.empty() && std::fabs(m.t_s - labels.back().t_s) < near_s)
            labels.back().label += ", " + m.label;
        else
            labels.push_back(m);
    }
    if (first)
        for (const PlotMark& m : labels)
            plptex(m.t_s, hi + pad, 0.0, -1.0, 0.0, (" " + m.label).c_str());
    if (panel.series.size() > 1) {
        // A small legend in the panel's upper right corner.
        std::vector<PLINT> opts(panel.series.size(), PL_LEGEND_LINE), colours,
            widths_i(panel.series.size(), 1);
        std::vector<PLFLT> widths(panel.series.size(), 1.0);
        std::vector<const char*> texts;
        std::vector<PLINT> text_colours;
        for (std::size_t k = 0; k < panel.series.size(); ++k) {
            colours.push_back(kColours[k % std::size(kColours)]);
            text_colours.push_back(kColours[k % std::size(kColours)]);
            texts.push_back(panel.series[k].label.c_str());
        }
        std::vector<PLINT> styles(panel.series.size(), 1);
        PLFLT w = 0, h = 0;
        pllegend(&w, &h, PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX,
                 PL_POSITION_RIGHT | PL_POSITION_TOP, 0.02, 0.02, 0.1, 0, 1, 1, 0, 0,
                 static_cast<PLINT>(panel.series.size()), opts.data(), 1.0, 0.8, 2.0, 1.0,
                 text_colours.data(), texts.data(), nullptr, nullptr, nullptr, nullptr,
                 colours.data(), styles.data(), widths.data(), nullptr, nullptr, nullptr, nullptr);
    }
}

// Starts a PNG of rows panels, one above the other, black on white, drawn into the output's
// temporary file.
void begin_png(const sim::OutputFile& out, std::size_t rows, std::size_t columns = 1) {
    plsdev("pngcairo");
    plsfnam(out.by_name_path().c_str());
    plspage(0, 0, 1200, 300 * static_cast<PLINT>(rows), 0, 0);
    plscolbg(255, 255, 255);
    plscol0(15, 0, 0, 0);
    plssub(static_cast<PLINT>(columns), static_cast<PLINT>(rows));
    plinit();
}

// Ends the drawing and puts the picture in place, once it is whole.
bool finish_png(sim::OutputFile& out, const std::string& path, std::string& error) {
    plend();
    if (!is_complete_png(out.by_name_path())) {
        error = "cannot write " + path + ": the picture came out incomplete (is the disk full?)";
        return false;
    }
    return out.commit(error);
}

constexpr int kBins = 40;

void draw_histogram(const HistogramPanel& p, const std::string& title) {
    double lo = 0.0, hi = 0.0;
    if (p.limit) {
        lo = std::min(0.0, *p.limit);
        hi = *p.limit;
    }
    range_of(p.values, lo, hi);
    hi = std::max(hi + (hi - lo) * 0.05, lo + 1e-3);
    const double width = (hi - lo) / kBins;
    std::vector<double> x(kBins), count(kBins, 0.0), good(kBins, 0.0);
    for (int i = 0; i < kBins; ++i) x[static_cast<std::size_t>(i)] = lo + width * i;
    for (std::size_t i = 0; i < p.values.size(); ++i) {
        auto bin =
            static_cast<std::size_t>(std::clamp((p.values[i] - lo) / width, 0.0, kBins - 1.0));
        count[bin] += 1.0;
        if (i < p.good.size() && p.good[i])
            good[bin] += 1.0;
    }
    double top = std::max(1.0, *std::max_element(count.begin(), count.end())) * 1.1;
    plcol0(15);
    plenv(lo, hi, 0.0, top, 0, 0);
    pllab(p.x_label.c_str(), "runs", title.c_str());
    if (p.good.empty()) {
        plcol0(9);
        plbin(kBins, x.data(), count.data(), PL_BIN_NOEXPAND);
    } else {
        // Every run in red, the successful ones over them in green: the red that shows is the
        // failures.
        plcol0(1);
        plbin(kBins, x.data(), count.data(), PL_BIN_NOEXPAND);
        plcol0(3);
        plbin(kBins, x.data(), good.data(), PL_BIN_NOEXPAND);
    }
    if (!p.limit)
        return;
    // The limit of a successful landing.
    plcol0(p.good.empty() ? 1 : 15);
    PLFLT lx[] = {*p.limit, *p.limit}, ly[] = {0.0, top};
    plline(2, lx, ly);
}

void draw_scatter(const ScatterPanel& p, const std::string& title) {
    double xlo = std::numeric_limits<double>::max(), xhi = std::numeric_limits<double>::lowest();
    double ylo = p.y_limit, yhi = p.y_limit;
    range_of(p.x, xlo, xhi);
    range_of(p.y, ylo, yhi);
    if (xlo > xhi)
        xlo = xhi = 0.0;
    const double xpad = std::max((xhi - xlo) * 0.05, 1e-3),
                 ypad = std::max((yhi - ylo) * 0.05, 1e-3);
    plcol0(15);
    plenv(xlo - xpad, xhi + xpad, ylo - ypad, yhi + ypad, 0, 0);
    pllab(p.x_label.c_str(), p.y_label.c_str(), title.c_str());
    for (bool good : {true, false}) {
        std::vector<double> x, y;
        for (std::size_t i = 0; i < p.x.size() && i < p.y.size(); ++i)
            if ((i < p.good.size() && p.good[i]) == good) {
                x.push_back(p.x[i]);
                y.push_back(p.y[i]);
            }
        plcol0(good ? 3 : 1);
        if (!x.empty())
            plpoin(static_cast<PLINT>(x.size()), x.data(), y.data(), 17);
    }
    plcol0(15);
    PLFLT lx[] = {xlo - xpad, xhi + xpad}, ly[] = {p.y_limit, p.y_limit};
    plline(2, lx, ly);
}

}  // namespace

bool is_complete_png(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() < sizeof kSignature ||
        std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0)
        return false;
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i]));
    };
    for (std::size_t pos = sizeof kSignature; pos + 12 <= bytes.size();) {
        const std::uint64_t length =
            byte(pos) << 24 | byte(pos + 1) << 16 | byte(pos + 2) << 8 | byte(pos + 3);
        const bool last = bytes.compare(pos + 4, 4, "IEND") == 0;
        pos += 12 + length;
        if (last)
            return pos == bytes.size();
    }
    return false;
}

bool write_study_png(const std::string& path, const std::string& title,
                     const std::vector<HistogramPanel>& histograms,
                     const std::vector<ScatterPanel>& scatters, std::string& error) {
    const std::size_t panels = histograms.size() + scatters.size();
    if (panels == 0) {
        error = path + ": nothing to plot";
        return false;
    }
    sim::OutputFile out;
    if (!out.open(path, error))
        return false;
    begin_png(out, (panels + 1) / 2, 2);
    for (std::size_t i = 0; i < histograms.size(); ++i)
        draw_histogram(histograms[i], i == 0 ? title : "");
    for (const ScatterPanel& p : scatters) draw_scatter(p, "");
    return finish_png(out, path, error);
}

bool write_plot_png(const std::string& path, const std::string& title,
                    const std::vector<double>& time_s, const std::vector<PlotPanel>& panels,
                    std::string& error, const std::vector<PlotMark>& marks) {
    if (time_s.empty() || panels.empty()) {
        error = path + ": nothing to plot";
        return false;
    }
    sim::OutputFile out;
    if (!out.open(path, error))
        return false;
    begin_png(out, panels.size());
    for (std::size_t i = 0; i < panels.size(); ++i) {
        PlotPanel p = panels[i];
        if (i == 0)
            p.title = title + (p.title.empty() ? "" : ": " + p.title);
        draw_panel(time_s, p, i == 0, i + 1 == panels.size(), marks);
    }
    return finish_png(out, path, error);
}

}  // namespace app
