#include "sim/sample/dispersion_statistics.h"

#include <algorithm>
#include <cmath>

namespace zolksim {

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    const double rank = p / 100.0 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (rank - static_cast<double>(below));
}

Spread spreadOf(std::vector<double> values) {
    Spread s;
    s.count = values.size();
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    double sum = 0.0;
    for (double x : values) sum += x;
    s.mean = sum / static_cast<double>(values.size());
    // Deviations from the mean, summed in a second pass: no cancellation.
    double squares = 0.0;
    for (double x : values) squares += (x - s.mean) * (x - s.mean);
    s.sd = values.size() > 1 ? std::sqrt(squares / static_cast<double>(values.size() - 1)) : 0.0;
    s.p5 = percentile(values, 5);
    s.p50 = percentile(values, 50);
    s.p95 = percentile(values, 95);
    s.min = values.front();
    s.max = values.back();
    return s;
}

}  // namespace zolksim
