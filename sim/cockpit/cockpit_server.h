// The live cockpit's HTTP side: serves the page, streams frames as
// Server-Sent Events and takes commands as small JSON posts, which it queues
// for the simulation thread and answers once they are carried out.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "sim/cockpit/command_queue.h"
#include "sim/cockpit/frame_board.h"

namespace zolksim::cockpit {

class DoorServer;
class RequestGuard;

constexpr int kMaxEventStreams = 8;  // browsers watching at once

class CockpitServer {
public:
    CockpitServer(CommandQueue& queue, FrameBoard& board);
    CockpitServer(const CockpitServer&) = delete;
    CockpitServer& operator=(const CockpitServer&) = delete;
    ~CockpitServer();

    // Binds to address:port (port 0: any free port) and serves on a thread of
    // its own. False with the reason when the address cannot be had.
    bool start(const std::string& address, int port, std::string& error);
    // Ends every event stream, stops serving and joins the thread.
    void stop();

    int port() const { return port_; }
    std::string pageAddress() const;

private:
    void route();

    CommandQueue& queue_;
    FrameBoard& board_;
    std::unique_ptr<DoorServer> server_;
    std::unique_ptr<RequestGuard> guard_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<int> streams_{0};
};

}  // namespace zolksim::cockpit
