#include "sim/cockpit/command_queue.h"

namespace zolksim::cockpit {

bool CommandQueue::push(Command command, std::future<CommandResult>& result) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || queue_.size() >= kCapacity) return false;
        queue_.push_back(PendingCommand{std::move(command), {}});
        result = queue_.back().result.get_future();
    }
    arrived_.notify_all();
    return true;
}

std::vector<PendingCommand> CommandQueue::drain() {
    std::lock_guard lock(mutex_);
    std::vector<PendingCommand> taken(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
    queue_.clear();
    return taken;
}

void CommandQueue::waitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    arrived_.wait_until(lock, deadline, [&] { return closed_ || !queue_.empty(); });
}

void CommandQueue::close() {
    std::deque<PendingCommand> left;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        left.swap(queue_);
    }
    for (PendingCommand& pending : left) pending.result.set_value({Outcome::Impossible, "the cockpit is closing"});
    arrived_.notify_all();
}

bool CommandQueue::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

}  // namespace zolksim::cockpit
