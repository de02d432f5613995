// One request's bytes, read in whole by the door beforehand, handed to the
// HTTP library as its stream; answers go straight to the socket. Reads end
// with the request, so the connection's next request stays where it is.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string_view>

namespace zolksim::cockpit {

class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(int socket, std::string_view request, std::chrono::milliseconds writeTimeout);

    bool is_readable() const override { return read_ < request_.size(); }
    // False once the peer has hung up, so that a stream with nothing to send
    // notices a closed page at once.
    bool is_writable() const override;
    ssize_t read(char* data, size_t size) override;
    ssize_t write(const char* data, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    int socket_;
    std::string_view request_;
    std::size_t read_ = 0;
    std::chrono::milliseconds writeTimeout_;
};

// Whether the peer has closed its side (or the connection failed), without waiting.
bool peerHungUp(int socket);

}  // namespace zolksim::cockpit
