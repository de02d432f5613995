// Where the simulation thread publishes frames for the browsers: each frame is
// an immutable JSON text, shared by every reader until a newer one replaces it.
// The chart's history lives here too, so that a browser arriving late starts
// with the run so far.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zolksim::cockpit {

struct Frame {
    std::uint64_t number = 0;  // 0: none published yet
    std::shared_ptr<const std::string> json;
};

constexpr std::size_t kHistoryLimit = 1000;

class FrameBoard {
public:
    void publish(std::string json);
    // Adds a chart sample (a JSON value) to the history; past kHistoryLimit
    // samples every other one is dropped and, from then on, only every
    // stride()-th offered sample is kept, so the history spans the whole run.
    // True when the sample was kept.
    bool offerSample(std::string json);
    std::size_t stride() const;
    // Starts the history afresh: the chart is now of another vessel or body.
    void resetHistory();
    Frame latest() const;
    // The history as a JSON array.
    std::string history() const;
    // Waits for a frame newer than `after`; gives the latest (perhaps still
    // `after`) when the wait times out or the board closes.
    Frame waitNewer(std::uint64_t after, std::chrono::milliseconds timeout) const;
    // Wakes every waiter for good: the cockpit is shutting down.
    void close();
    bool closed() const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable published_;
    Frame latest_;
    std::vector<std::string> samples_;
    std::size_t stride_ = 1, offered_ = 0;
    bool closed_ = false;
};

}  // namespace zolksim::cockpit
