// The live cockpit's HTTP side: serves the page, streams frames as
// Server-Sent Events and takes commands as small JSON posts, which it queues
// for the simulation thread and answers once they are carried out.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/cockpit/command_queue.h"
#include "sim/cockpit/frame_board.h"

namespace zolksim::cockpit {

class DoorServer;
class RequestGuard;

constexpr int kMaxEventStreams = 16;  // browsers watching at once
// Event streams from one address at once: as many as one browser opens to a
// server (6 connections per host), so that one client cannot take every place.
constexpr int kMaxStreamsPerClient = 6;

struct ServerSettings {
    std::string listen = "127.0.0.1";
    int port = 0;                         // 0: any free port
    std::vector<std::string> allowHosts;  // more names the cockpit answers to
};

class CockpitServer {
public:
    CockpitServer(CommandQueue& queue, FrameBoard& board);
    CockpitServer(const CockpitServer&) = delete;
    CockpitServer& operator=(const CockpitServer&) = delete;
    ~CockpitServer();

    // Binds to the address and port and serves on a thread of its own. False
    // with the reason when the address cannot be had. Listening beyond
    // loopback, every request must carry a token made afresh here.
    bool start(const ServerSettings& settings, std::string& error);
    // Ends every event stream, stops serving and joins the thread.
    void stop();

    int port() const { return port_; }
    std::string pageAddress() const;
    std::vector<std::string> pageAddresses() const;
    std::string exposureWarning() const;

private:
    void route();
    // Takes a place for an event stream from `client`, or says why there is none.
    bool takeStreamPlace(const std::string& client, std::string& why);
    void freeStreamPlace(const std::string& client);
    int viewers() const;

    CommandQueue& queue_;
    FrameBoard& board_;
    std::unique_ptr<DoorServer> server_;
    std::unique_ptr<RequestGuard> guard_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex streamsMutex_;
    std::map<std::string, int> streamsByClient_;  // remote address -> its open event streams
    int streams_ = 0;
};

}  // namespace zolksim::cockpit
