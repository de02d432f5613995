#include "sim/cockpit/request_guard.h"

#include <algorithm>

#include "host/world/names.h"

namespace zolksim::cockpit {

namespace {

bool isLoopback(std::string_view address) {
    return address == "::1" || address == "localhost" || address.substr(0, 4) == "127.";
}

// An IPv4 literal (digits and dots) or an IPv6 one in brackets: no name a
// DNS server could point elsewhere.
bool isAddressLiteral(std::string_view name) {
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        return std::all_of(name.begin() + 1, name.end() - 1, [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
        });
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

std::string bracketed(const std::string& address) {
    return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

}  // namespace

RequestGuard::RequestGuard(std::string listen, int port) : port_(std::to_string(port)) {
    anyAddress_ = listen == "0.0.0.0" || listen == "::";
    loopback_ = isLoopback(listen);
    hosts_.push_back(bracketed(listen) + ":" + port_);
    if (isLoopback(listen))
        for (const char* name : {"localhost", "127.0.0.1", "[::1]"}) hosts_.push_back(std::string(name) + ":" + port_);
}

bool RequestGuard::hostAllowed(std::string_view host) const {
    if (std::any_of(hosts_.begin(), hosts_.end(), [&](const std::string& h) { return simhost::sameName(h, host); }))
        return true;
    if (!anyAddress_) return false;
    const std::size_t colon = host.rfind(':');
    if (colon == std::string_view::npos || host.substr(colon + 1) != port_) return false;
    return isAddressLiteral(host.substr(0, colon));
}

bool RequestGuard::originAllowed(std::string_view origin, std::string_view host) const {
    constexpr std::string_view kScheme = "http://";
    return origin.substr(0, kScheme.size()) == kScheme && simhost::sameName(origin.substr(kScheme.size()), host) &&
           hostAllowed(host);
}

std::string RequestGuard::exposureWarning() const {
    if (loopback_) return {};
    return "the cockpit listens on " + hosts_.front() +
           ": anyone who can reach this machine on port " + port_ +
           " can watch and fly it, with no password (--listen 127.0.0.1 keeps it to this machine)";
}

std::string RequestGuard::pageAddress() const { return "http://" + hosts_.front() + "/"; }

}  // namespace zolksim::cockpit
