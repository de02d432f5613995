#include "sim/cockpit/connection_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zolksim::cockpit {

namespace {

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

}  // namespace

bool peerHungUp(int socket) {
    pollfd p{socket, POLLRDHUP, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

ConnectionStream::ConnectionStream(int socket, std::string_view request, std::chrono::milliseconds writeTimeout)
    : socket_(socket), request_(request), writeTimeout_(writeTimeout) {}

bool ConnectionStream::is_writable() const {
    pollfd p{socket_, POLLOUT | POLLRDHUP, 0};
    const int ready = poll(&p, 1, static_cast<int>(writeTimeout_.count()));
    return ready > 0 && (p.revents & POLLOUT) != 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) == 0;
}

ssize_t ConnectionStream::read(char* data, size_t size) {
    const std::size_t n = std::min(size, request_.size() - read_);
    std::memcpy(data, request_.data() + read_, n);
    read_ += n;
    return static_cast<ssize_t>(n);
}

ssize_t ConnectionStream::write(const char* data, size_t size) {
    std::size_t sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + writeTimeout_;
    while (sent < size) {
        const ssize_t n = ::send(socket_, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        // A reader that does not take what is sent within the timeout is given up.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return -1;
        pollfd p{socket_, POLLOUT, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return -1;
    }
    return static_cast<ssize_t>(sent);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) addressOf(address, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) addressOf(address, ip, port);
}

}  // namespace zolksim::cockpit
