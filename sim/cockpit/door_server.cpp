#include "sim/cockpit/door_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "sim/cockpit/connection_stream.h"
#include "sim/cockpit/request_scan.h"

namespace zolksim::cockpit {

namespace {

constexpr std::size_t kReadBlock = 16384;
constexpr std::size_t kMaxDrainBytes = 1 << 20;  // after a refusal, so that the client reads the answer
constexpr auto kDrainTime = std::chrono::seconds(1);

// The library's accept loop hands each connection over at once: the door,
// not a queue of threads, decides when it is served.
class HandOver : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

void sendAll(int socket, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) return;  // an error answer is best effort: the socket's buffer takes it or not
        sent += static_cast<std::size_t>(n);
    }
}

// net.core.somaxconn: the most a listen() backlog can be (larger asks are cut to it).
int systemBacklog() {
    std::ifstream file("/proc/sys/net/core/somaxconn");
    int most = 0;
    return file >> most && most > 0 ? most : SOMAXCONN;
}

}  // namespace

int DoorServer::widenBacklog() {
    const int backlog = systemBacklog();
    return ::listen(svr_sock_, backlog) == 0 ? backlog : -1;
}

DoorServer::DoorServer(DoorLimits limits) : limits_(limits) {
    new_task_queue = [] { return new HandOver; };
    set_payload_max_length(limits_.bodyBytes);
    // Told to every client in the Keep-Alive header, and kept by serve().
    set_keep_alive_max_count(static_cast<std::size_t>(limits_.requestsPerConnection));
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe_[0] = wakePipe_[1] = -1;
    door_ = std::thread([this] { doorLoop(); });
    for (std::size_t i = 0; i < limits_.workers; ++i) workers_.emplace_back([this] { workerLoop(); });
}

DoorServer::~DoorServer() {
    closeDoor();
    for (int fd : wakePipe_)
        if (fd >= 0) ::close(fd);
}

void DoorServer::closeDoor() {
    {
        std::lock_guard lock(mutex_);
        if (closing_ && !door_.joinable()) return;
        closing_ = true;
    }
    wake();
    readyForWorker_.notify_all();
    if (door_.joinable()) door_.join();
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
    for (Owned& c : arriving_) ::close(c->socket);
    for (Owned& c : ready_) ::close(c->socket);
    arriving_.clear();
    ready_.clear();
}

void DoorServer::wake() {
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakePipe_[1], &byte, 1);
    }
}

bool DoorServer::process_and_close_socket(socket_t socket) {
    // Answers go out as they are written, not held back for the peer's
    // acknowledgement of the last piece (which a browser delays by ~40 ms).
    int yes = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK);
    auto c = std::make_unique<Connection>();
    c->socket = socket;
    c->deadline = Clock::now() + limits_.idle;
    admit(std::move(c));
    return true;
}

void DoorServer::admit(Owned connection) {
    {
        std::lock_guard lock(mutex_);
        if (!closing_) {
            arriving_.push_back(std::move(connection));
            connection = nullptr;
        }
    }
    if (connection) ::close(connection->socket);
    wake();
}

void DoorServer::refuse(Connection& c, int status, const char* reason, const std::string& why) {
    const std::string body = "{\"ok\":false,\"error\":\"" + why + "\"}";
    sendAll(c.socket, "HTTP/1.1 " + std::to_string(status) + " " + reason +
                          "\r\nContent-Type: application/json\r\nContent-Security-Policy: frame-ancestors 'none'"
                          "\r\nX-Frame-Options: DENY\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body);
    // Closing with unread bytes would reset the connection before the client
    // reads the answer: shut the sending side and throw away what still comes, for a while.
    ::shutdown(c.socket, SHUT_WR);
    c.closing = true;
    c.pending.clear();
    c.pending.shrink_to_fit();
    c.deadline = Clock::now() + kDrainTime;
}

bool DoorServer::receive(Connection& c) {
    char block[kReadBlock];
    for (;;) {
        if (!c.closing && c.pending.size() > kMaxRawRequestBytes + kReadBlock) return false;
        const ssize_t n = ::recv(c.socket, block, sizeof block, MSG_DONTWAIT);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        if (c.closing) {
            c.drained += static_cast<std::size_t>(n);
            if (c.drained > kMaxDrainBytes) return false;
            continue;
        }
        if (!c.started) {
            c.started = true;
            c.deadline = Clock::now() + limits_.request;
        }
        c.pending.append(block, static_cast<std::size_t>(n));
        const RequestScan scan = scanRequest(c.pending, limits_.bodyBytes);
        switch (scan.state) {
        case ScanState::Ready:
            c.requestLength = scan.length;
            return false;
        case ScanState::TooLarge:
            refuse(c, 413, "Payload Too Large", "a command is at most " + std::to_string(limits_.bodyBytes) + " bytes");
            continue;
        case ScanState::Malformed:
            refuse(c, 400, "Bad Request", "not a request this cockpit reads");
            continue;
        case ScanState::NeedMore:
            if (scan.wantsContinue && !c.continued) {
                c.continued = true;
                sendAll(c.socket, "HTTP/1.1 100 Continue\r\n\r\n");
            }
            continue;
        }
    }
}

void DoorServer::doorLoop() {
    std::vector<Owned> waiting;
    std::vector<pollfd> polled;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (closing_) break;
            for (Owned& c : arriving_) {
                if (waiting.size() >= limits_.waiting) {
                    ::close(c->socket);
                    continue;
                }
                waiting.push_back(std::move(c));
            }
            arriving_.clear();
        }
        const auto now = Clock::now();
        auto nearest = now + std::chrono::seconds(1);
        polled.assign(1, pollfd{wakePipe_[0], POLLIN, 0});
        for (const Owned& c : waiting) {
            polled.push_back(pollfd{c->socket, POLLIN | POLLRDHUP, 0});
            nearest = std::min(nearest, c->deadline);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nearest - now).count();
        poll(polled.data(), polled.size(), static_cast<int>(std::clamp<long long>(wait + 1, 0, 1000)));
        if (polled[0].revents) {
            char drain[64];
            while (::read(wakePipe_[0], drain, sizeof drain) > 0) {
            }
        }

        const auto after = Clock::now();
        std::vector<Owned> kept;
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            Owned& c = waiting[i];
            // A connection handed back with a whole request already in hand is served without waiting for more.
            bool alive = true;
            if (polled[i + 1].revents) {
                alive = receive(*c);
            } else if (!c->closing && !c->pending.empty() && c->requestLength == 0) {
                const RequestScan scan = scanRequest(c->pending, limits_.bodyBytes);
                if (scan.state == ScanState::Ready) {
                    c->requestLength = scan.length;
                    alive = false;
                }
            }
            if (!alive && !c->closing && c->requestLength > 0) {
                {
                    std::lock_guard lock(mutex_);
                    ready_.push_back(std::move(c));
                }
                readyForWorker_.notify_one();
                continue;
            }
            if (!alive || after >= c->deadline) {
                ::close(c->socket);
                continue;
            }
            kept.push_back(std::move(c));
        }
        waiting = std::move(kept);
    }
    for (Owned& c : waiting) ::close(c->socket);
}

void DoorServer::workerLoop() {
    for (;;) {
        Owned c;
        {
            std::unique_lock lock(mutex_);
            readyForWorker_.wait(lock, [&] { return closing_ || !ready_.empty(); });
            if (closing_) return;
            c = std::move(ready_.front());
            ready_.pop_front();
        }
        if (serve(*c)) {
            c->requestLength = 0;
            c->started = !c->pending.empty();
            c->continued = false;
            c->deadline = Clock::now() + (c->started ? limits_.request : limits_.idle);
            admit(std::move(c));
        } else {
            ::close(c->socket);
        }
    }
}

bool DoorServer::serve(Connection& c) {
    const bool last = ++c.served >= limits_.requestsPerConnection;
    bool closed = false;
    bool ok;
    {
        ConnectionStream stream(c.socket, std::string_view(c.pending).substr(0, c.requestLength), limits_.write);
        ok = process_request(stream, last, closed, [](httplib::Request&) {});
    }
    c.pending.erase(0, c.requestLength);
    return ok && !closed && !last;
}

}  // namespace zolksim::cockpit
