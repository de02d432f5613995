// Commands on their way from the server's threads to the simulation thread,
// each with a promise of how it went. The simulation thread drains the queue
// between steps; while paused it sleeps on it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "sim/cockpit/command.h"

namespace zolksim::cockpit {

enum class Outcome { Done, Refused, Impossible };

struct CommandResult {
    Outcome outcome = Outcome::Done;
    std::string message;  // what happened, for the pilot
};

struct PendingCommand {
    Command command;
    std::promise<CommandResult> result;
};

class CommandQueue {
public:
    // Queues the command; its future is ready once the simulation thread has
    // carried it out. Refused (no future) once the queue is closed or full.
    bool push(Command command, std::future<CommandResult>& result);
    // Takes every queued command.
    std::vector<PendingCommand> drain();
    // Waits until a command arrives, the queue closes or the deadline passes.
    void waitUntil(std::chrono::steady_clock::time_point deadline);
    // Refuses further commands and wakes the waiter; queued ones are answered
    // as impossible.
    void close();
    bool closed() const;

private:
    static constexpr std::size_t kCapacity = 256;  // a flood of posts waits its turn at the door
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<PendingCommand> queue_;
    bool closed_ = false;
};

}  // namespace zolksim::cockpit
