// A progress bar on the terminal while a run lasts more than a moment: the
// simulated time reached, the wall time and the steps per second.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zolksim {

class ProgressBar {
public:
    // Draws on stream only when enabled (a terminal, and not asked to be quiet).
    ProgressBar(std::FILE* stream, bool enabled, double duration);

    // Cheap enough to call after every step: it looks at the clock only now and then.
    void update(double simTime, std::uint64_t steps) {
        if (enabled_ && (steps & 1023) == 0) redraw(simTime, steps, false);
    }
    // Clears the bar's line.
    void finish();

    double wallSeconds() const;

    // The bar's line for the given figures, at most `width` characters.
    static std::string line(double simTime, double duration, double wallSeconds, double stepsPerSecond, int width);

private:
    void redraw(double simTime, std::uint64_t steps, bool force);

    std::FILE* stream_;
    bool enabled_;
    bool shown_ = false;
    double duration_;
    std::chrono::steady_clock::time_point start_, lastDrawn_;
};

// Whether the stream is a terminal.
bool isTerminal(std::FILE* stream);

}  // namespace zolksim
