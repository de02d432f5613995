#include "sim/cockpit/frame_board.h"

namespace zolksim::cockpit {

void FrameBoard::publish(std::string json) {
    auto shared = std::make_shared<const std::string>(std::move(json));
    {
        std::lock_guard lock(mutex_);
        latest_ = Frame{latest_.number + 1, std::move(shared)};
    }
    published_.notify_all();
}

bool FrameBoard::offerSample(std::string json) {
    std::lock_guard lock(mutex_);
    if (offered_++ % stride_ != 0) return false;
    samples_.push_back(std::move(json));
    if (samples_.size() > kHistoryLimit) {
        // Keep the even ones, and so the first: the chart still starts at the start.
        std::size_t kept = 1;
        for (std::size_t i = 2; i < samples_.size(); i += 2) samples_[kept++] = std::move(samples_[i]);
        samples_.resize(kept);
        stride_ *= 2;
        offered_ = 1;
    }
    return true;
}

void FrameBoard::resetHistory() {
    std::lock_guard lock(mutex_);
    samples_.clear();
    stride_ = 1;
    offered_ = 0;
}

std::size_t FrameBoard::stride() const {
    std::lock_guard lock(mutex_);
    return stride_;
}

Frame FrameBoard::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

std::string FrameBoard::history() const {
    std::lock_guard lock(mutex_);
    std::string json = "[";
    for (const std::string& sample : samples_) {
        if (json.size() > 1) json += ',';
        json += sample;
    }
    return json + "]";
}

Frame FrameBoard::waitNewer(std::uint64_t after, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    published_.wait_for(lock, timeout, [&] { return closed_ || latest_.number > after; });
    return latest_;
}

void FrameBoard::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    published_.notify_all();
}

bool FrameBoard::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

}  // namespace zolksim::cockpit
