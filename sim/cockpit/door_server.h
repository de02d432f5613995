// The cockpit's HTTP server: the library's request handling behind a door of
// its own. One door thread collects every connection's request bytes with a
// deadline and a size limit; only a whole request goes to a worker thread.
// A client that sends slowly (or never finishes) therefore holds no worker,
// and is dropped when its deadline passes; an oversized body is refused as
// soon as its size shows, however it is framed, without reading it all.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zolksim::cockpit {

struct DoorLimits {
    std::size_t workers = 24;                                 // requests answered at once (event streams hold one each)
    std::size_t bodyBytes = 4096;                             // largest body taken
    std::chrono::milliseconds idle{5000};                     // a kept-alive connection may wait this long for its next request
    std::chrono::milliseconds request{2000};                  // from a request's first byte to its last
    std::chrono::milliseconds write{5000};                    // for a reader to take what is sent
    std::size_t waiting = 512;                                // connections at the door at most
    int requestsPerConnection = 100;                          // then closed, as its Keep-Alive header says
};

class DoorServer : public httplib::Server {
public:
    explicit DoorServer(DoorLimits limits);
    ~DoorServer() override;
    // After stop() and the listening thread's end: ends the door and the workers.
    void closeDoor();
    // After binding: lets the system's largest number of connections wait to
    // be accepted (the library asks for 5). The backlog now.
    int widenBacklog();

private:
    using Clock = std::chrono::steady_clock;
    struct Connection {
        int socket = -1;
        std::string pending;           // bytes received and not yet answered
        Clock::time_point deadline;
        bool started = false;          // the pending request's first byte has come
        bool continued = false;        // "100 Continue" sent for it
        bool closing = false;          // answered with an error: draining until close
        std::size_t drained = 0;
        std::size_t requestLength = 0; // of the whole request at the front of `pending`
        int served = 0;
    };
    using Owned = std::unique_ptr<Connection>;

    // Called by the library's accept loop for each new connection.
    bool process_and_close_socket(socket_t socket) override;
    void admit(Owned connection);
    void doorLoop();
    // Reads what came; false when the door is done with the connection: it
    // closed, failed, or (requestLength set) holds a whole request.
    bool receive(Connection& c);
    void refuse(Connection& c, int status, const char* reason, const std::string& why);
    void workerLoop();
    bool serve(Connection& c);
    void wake();

    DoorLimits limits_;
    std::mutex mutex_;
    std::condition_variable readyForWorker_;
    std::vector<Owned> arriving_;
    std::deque<Owned> ready_;
    bool closing_ = false;
    int wakePipe_[2] = {-1, -1};
    std::thread door_;
    std::vector<std::thread> workers_;
};

}  // namespace zolksim::cockpit
