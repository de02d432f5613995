#include "sim/sample/dispersion_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/pictures/orbit_plot.h"

namespace zolksim {

namespace {

constexpr double kLeft = 84, kRight = 84, kTop = 48, kBottom = 64;  // margins, px
constexpr Rgb kBackground{0xff, 0xff, 0xff};
constexpr Rgb kAxis{0x33, 0x33, 0x33};
constexpr Rgb kGrid{0xe4, 0xe4, 0xe4};
constexpr Rgb kBar{0x7f, 0xa8, 0xd8};
constexpr Rgb kCdf{0xcc, 0x44, 0x22};
constexpr int kMaxBins = 30;

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

void drawDispersionChart(const std::vector<double>& values, std::size_t total, const std::string& label,
                         const std::string& title, Canvas& canvas) {
    const Font small{13}, big{16, 0.0, Anchor::Middle, true};
    canvas.fillRect(0, 0, kPlotWidth, kPlotHeight, kBackground);
    canvas.text(kPlotWidth / 2.0, 14, title, kAxis, big);
    const double plotW = kPlotWidth - kLeft - kRight, plotH = kPlotHeight - kTop - kBottom;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    double lo = sorted.empty() ? 0.0 : sorted.front(), hi = sorted.empty() ? 1.0 : sorted.back();
    if (hi <= lo) lo -= 0.5, hi += 0.5;
    // Bins of a round width over the values: about the square root of their number.
    const int wanted = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(sorted.size()))), 5, kMaxBins);
    const double width = tickStep(hi - lo, wanted);
    const double first = std::floor(lo / width) * width;
    const int bins = std::max(1, static_cast<int>(std::ceil((hi - first) / width)));
    const double last = first + width * bins;
    std::vector<std::size_t> counts(static_cast<std::size_t>(bins), 0);
    for (double x : sorted)
        ++counts[std::min<std::size_t>(static_cast<std::size_t>((x - first) / width), counts.size() - 1)];
    const std::size_t most = counts.empty() ? 1 : std::max<std::size_t>(1, *std::max_element(counts.begin(), counts.end()));
    const double countStep = tickStep(static_cast<double>(most), 5);
    const double countTop = std::ceil(static_cast<double>(most) * 1.05 / countStep) * countStep;

    const auto px = [&](double x) { return kLeft + plotW * (x - first) / (last - first); };
    const auto pyCount = [&](double n) { return kTop + plotH * (1.0 - n / countTop); };
    const auto pyShare = [&](double share) { return kTop + plotH * (1.0 - share); };

    // Grid and axes: counts on the left, the cumulative share on the right.
    for (double n = 0; n <= countTop + 1e-9; n += countStep) {
        canvas.line({kLeft, pyCount(n)}, {kLeft + plotW, pyCount(n)}, kGrid, 1);
        canvas.text(kLeft - 8, pyCount(n) - 7, shortNumber(n), kAxis, {13, 0.0, Anchor::End});
    }
    for (int q = 0; q <= 4; ++q)
        canvas.text(kLeft + plotW + 8, pyShare(q / 4.0) - 7, std::to_string(q * 25) + " %", kCdf, small);
    const double xStep = tickStep(last - first, 8);
    for (double x = std::ceil(first / xStep) * xStep; x <= last + 1e-9 * xStep; x += xStep) {
        canvas.line({px(x), kTop + plotH}, {px(x), kTop + plotH + 5}, kAxis, 1);
        canvas.text(px(x), kTop + plotH + 8, shortNumber(x), kAxis, {13, 0.0, Anchor::Middle});
    }
    for (std::size_t b = 0; b < counts.size(); ++b) {
        const double x0 = px(first + width * static_cast<double>(b)), x1 = px(first + width * static_cast<double>(b + 1));
        canvas.fillRect(x0 + 1, pyCount(static_cast<double>(counts[b])), x1 - x0 - 2,
                        pyCount(0) - pyCount(static_cast<double>(counts[b])), kBar);
    }
    // The empirical CDF over every case: steps at each value, topping out at the fraction met.
    if (total > 0 && !sorted.empty()) {
        std::vector<Point> steps{{px(first), pyShare(0)}};
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            steps.push_back({px(sorted[i]), pyShare(static_cast<double>(i) / static_cast<double>(total))});
            steps.push_back({px(sorted[i]), pyShare(static_cast<double>(i + 1) / static_cast<double>(total))});
        }
        steps.push_back({px(last), steps.back().y});
        canvas.polyline(steps, kCdf, 2);
    }
    canvas.strokeRect(kLeft, kTop, plotW, plotH, kAxis, 1);
    canvas.text(kLeft + plotW / 2, kPlotHeight - 28, label, kAxis, {14, 0.0, Anchor::Middle});
    canvas.text(kLeft, kTop - 20, "cases", kAxis, small);
    canvas.text(kLeft + plotW, kTop - 20, "share of all cases met by then", kCdf, {13, 0.0, Anchor::End});
}

}  // namespace zolksim
