// Which requests the cockpit answers: only those addressed to it by a name it
// serves under, reads of its state and posts only from its own page, and,
// when it listens beyond this machine, only those that carry its token. A web
// page elsewhere must not be able to drive or watch the cockpit, nor a
// rebound DNS name read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zolksim::cockpit {

// The bodies of posts are bounded: a command is a few dozen bytes.
constexpr std::size_t kMaxBodyBytes = 4096;

struct GuardSettings {
    std::string listen = "127.0.0.1";    // the address served on (127.0.0.1, ::1, 0.0.0.0, ::, a host's own)
    int port = 0;
    std::vector<std::string> allowHosts;  // more names the cockpit answers to (--allow-host), without port
    std::string token;                    // required of every request when listening beyond loopback
};

class RequestGuard {
public:
    explicit RequestGuard(GuardSettings settings);

    // The Host header names this server, always with the port: the address
    // listened on; the loopback names (localhost, 127.0.0.1, [::1]) when this
    // machine can reach that address; the names allowed; listening on every
    // address, also this machine's own name and any IP address literal.
    bool hostAllowed(std::string_view host) const;
    // An Origin header, when a browser sends one, is the origin the request's
    // own Host names ("http://" and that host), and that host is allowed: the
    // cockpit's page posts only to where it was loaded from.
    bool originAllowed(std::string_view origin, std::string_view host) const;
    // A browser's Sec-Fetch-Site: absent (not a browser, or an old one),
    // "same-origin", or "none" (typed in, a bookmark) when `typedIn` is allowed.
    // Another port of the same host is "same-site": refused too.
    static bool fetchSiteAllowed(std::string_view site, bool typedIn);

    // Listening beyond loopback: every request carries the token, as a
    // "token" parameter of its URL or in the cookie tokenCookie() names.
    bool needsToken() const { return !loopback_; }
    bool tokenMatches(std::string_view candidate) const;
    const std::string& token() const { return settings_.token; }
    std::string tokenCookie() const { return "zolk-cockpit-" + port_; }

    // The address a browser opens first (with the token when one is needed).
    std::string pageAddress() const;
    // Every address a browser can open: listening on every address, this
    // machine's loopback name, its own name and its network addresses.
    std::vector<std::string> pageAddresses() const;

    // Listening beyond this machine: a warning saying who can fly the cockpit
    // then; empty on loopback.
    std::string exposureWarning() const;

private:
    std::string addressWithToken(const std::string& host) const;

    GuardSettings settings_;
    std::vector<std::string> hosts_;  // "name:port", as browsers write them
    bool anyAddress_ = false;
    bool loopback_ = false;
    std::string port_;
};

// A Content-Type naming JSON: "application/json", in any letter case,
// perhaps with parameters ("; charset=utf-8"); not "application/jsonp".
bool isJsonContentType(std::string_view contentType);

// 128 random bits as 32 hexadecimal digits, from the system's random source.
std::string freshToken();

}  // namespace zolksim::cockpit
