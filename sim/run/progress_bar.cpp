#include "sim/run/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/physics/physical_constants.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zolksim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kQuietStart = 0.4;    // s of wall time before the bar appears
constexpr double kRedrawEvery = 0.1;   // s of wall time between redraws
constexpr int kLineWidth = 78;

double secondsBetween(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

}  // namespace

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

ProgressBar::ProgressBar(std::FILE* stream, bool enabled, double duration)
    : stream_(stream), enabled_(enabled), duration_(duration), start_(Clock::now()), lastDrawn_(start_) {}

double ProgressBar::wallSeconds() const { return secondsBetween(start_, Clock::now()); }

std::string ProgressBar::line(double simTime, double duration, double wallSeconds, double stepsPerSecond, int width) {
    const double share = duration > 0.0 ? std::clamp(simTime / duration, 0.0, 1.0) : 1.0;
    char figures[96];
    std::snprintf(figures, sizeof figures, " %3.0f%%  %.2f/%.2f d  %.1f s  %.0fk steps/s", share * 100.0,
                  simTime / simhost::kSecondsPerDay, duration / simhost::kSecondsPerDay, wallSeconds, stepsPerSecond / 1000.0);
    const int barWidth = std::max(0, width - 2 - static_cast<int>(std::strlen(figures)));
    const int filled = static_cast<int>(std::floor(share * barWidth));
    std::string bar(1, '[');
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(barWidth - filled), '.');
    bar += ']';
    return bar + figures;
}

void ProgressBar::redraw(double simTime, std::uint64_t steps, bool force) {
    const Clock::time_point now = Clock::now();
    const double wall = secondsBetween(start_, now);
    if (!force && (wall < kQuietStart || secondsBetween(lastDrawn_, now) < kRedrawEvery)) return;
    lastDrawn_ = now;
    shown_ = true;
    const double rate = wall > 0.0 ? static_cast<double>(steps) / wall : 0.0;
    std::fprintf(stream_, "\r%s", line(simTime, duration_, wall, rate, kLineWidth).c_str());
    std::fflush(stream_);
}

void ProgressBar::finish() {
    if (!shown_) return;
    std::fprintf(stream_, "\r%s\r", std::string(kLineWidth, ' ').c_str());
    std::fflush(stream_);
    shown_ = false;
}

}  // namespace zolksim
