// The simulation thread of the live cockpit. It owns the world from start()
// to stop(): between steps it carries out the commands the server queued, and
// about 25 times a wall second, while running, it publishes a frame. Paused,
// it sleeps until a command comes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sim/cockpit/command_queue.h"
#include "sim/cockpit/frame_board.h"
#include "sim/cockpit/frame_json.h"

namespace zolksim::cockpit {

constexpr std::chrono::milliseconds kFramePeriod{40};

struct LiveSettings {
    double step = 1.0;          // simulated s per host step
    std::string outDir;         // where saves go
    std::string description;    // the scenario's, kept in saves
    bool running = true;        // at the start
    double warp = 1.0;
};

class LiveFlight {
public:
    // The world must be set up (module and scenario loaded) before start().
    LiveFlight(CommandQueue& queue, FrameBoard& board, LiveSettings settings);
    LiveFlight(const LiveFlight&) = delete;
    LiveFlight& operator=(const LiveFlight&) = delete;
    ~LiveFlight();

    void start();
    // Closes the queue and waits for the thread; the world is the caller's again.
    void stop();

    // Host steps taken so far (read from any thread).
    std::uint64_t steps() const { return steps_.load(std::memory_order_relaxed); }
    // "Still held" events delivered to displays so far (read from any thread).
    std::uint64_t heldEvents() const { return heldEvents_.load(std::memory_order_relaxed); }

private:
    using Clock = std::chrono::steady_clock;

    void loop();
    // Steps towards the time the warp asks for, until caught up or the deadline.
    void fly(Clock::time_point deadline);
    CommandResult carryOut(const Command& command);
    CommandResult save(const std::string& name);
    void deliverHeldButtons();
    void publish();
    void reanchor();

    CommandQueue& queue_;
    FrameBoard& board_;
    LiveSettings settings_;
    std::thread thread_;
    std::atomic<std::uint64_t> steps_{0};
    std::atomic<std::uint64_t> heldEvents_{0};

    // Owned by the simulation thread.
    ClockState clock_;
    Clock::time_point anchorWall_;
    double anchorSim_ = 0.0;
    std::vector<std::pair<std::string, int>> heldButtons_;  // display, button
    std::string saved_;
    std::string chartOf_;  // the subject of the chart's history
    double lastSampled_ = 0.0;
    bool sampledYet_ = false;
    std::uint64_t rateSteps_ = 0;
    Clock::time_point rateSince_;
};

}  // namespace zolksim::cockpit
