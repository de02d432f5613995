// Which requests the cockpit answers: only those addressed to it by the name
// it serves under, and posts only from its own page. A web page elsewhere
// must not be able to drive the cockpit, nor a rebound DNS name read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zolksim::cockpit {

// The bodies of posts are bounded: a command is a few dozen bytes.
constexpr std::size_t kMaxBodyBytes = 4096;

class RequestGuard {
public:
    // listen: the address served on (127.0.0.1, ::1, 0.0.0.0, a host's own
    // address); port: the port.
    RequestGuard(std::string listen, int port);

    // The Host header names this server: the address listened on, or on
    // loopback also "localhost", 127.0.0.1 and [::1]; listening on every
    // address, any IP address literal. Always with the port.
    bool hostAllowed(std::string_view host) const;
    // An Origin header, when a browser sends one, is the origin the request's
    // own Host names ("http://" and that host), and that host is allowed: the
    // cockpit's page posts only to where it was loaded from.
    bool originAllowed(std::string_view origin, std::string_view host) const;
    // The address a browser opens.
    std::string pageAddress() const;

    // Listening beyond this machine: a warning saying who can fly the cockpit
    // then; empty on loopback.
    std::string exposureWarning() const;

private:
    std::vector<std::string> hosts_;  // "name:port", as browsers write them
    bool anyAddress_ = false;
    bool loopback_ = false;
    std::string port_;
};

}  // namespace zolksim::cockpit
