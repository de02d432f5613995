#include "sim/cockpit/request_guard.h"

#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <array>

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

std::string machineName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) return {};
    return name.data();
}

// This machine's network addresses other than loopback and IPv6 link-local
// ones (which need an interface named to be opened); IPv6 only when `v6`.
std::vector<std::string> networkAddresses(bool v6) {
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr) continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (a->ifa_addr->sa_family == AF_INET) {
            const auto* v4 = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            if ((ntohl(v4->sin_addr.s_addr) >> 24) == 127) continue;
            inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        } else if (v6 && a->ifa_addr->sa_family == AF_INET6) {
            const auto* six = reinterpret_cast<const sockaddr_in6*>(a->ifa_addr);
            if (IN6_IS_ADDR_LOOPBACK(&six->sin6_addr) || IN6_IS_ADDR_LINKLOCAL(&six->sin6_addr)) continue;
            inet_ntop(AF_INET6, &six->sin6_addr, text, sizeof text);
        } else {
            continue;
        }
        if (std::find(found.begin(), found.end(), text) == found.end()) found.emplace_back(text);
    }
    freeifaddrs(list);
    return found;
}

}  // namespace

RequestGuard::RequestGuard(GuardSettings settings)
    : settings_(std::move(settings)), port_(std::to_string(settings_.port)) {
    const std::string& listen = settings_.listen;
    anyAddress_ = listen == "0.0.0.0" || listen == "::";
    loopback_ = isLoopback(listen);
    hosts_.push_back(bracketed(listen) + ":" + port_);
    if (loopback_ || anyAddress_)
        for (const char* name : {"localhost", "127.0.0.1", "[::1]"}) hosts_.push_back(std::string(name) + ":" + port_);
    if (anyAddress_)
        if (const std::string own = machineName(); !own.empty()) hosts_.push_back(own + ":" + port_);
    for (const std::string& name : settings_.allowHosts) hosts_.push_back(bracketed(name) + ":" + port_);
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

bool RequestGuard::fetchSiteAllowed(std::string_view site, bool typedIn) {
    return site.empty() || site == "same-origin" || (typedIn && site == "none");
}

bool RequestGuard::tokenMatches(std::string_view candidate) const {
    const std::string& token = settings_.token;
    if (token.empty() || candidate.size() != token.size()) return false;
    unsigned char differs = 0;  // every byte looked at, so the time taken tells nothing of where they differ
    for (std::size_t i = 0; i < token.size(); ++i)
        differs |= static_cast<unsigned char>(token[i] ^ candidate[i]);
    return differs == 0;
}

std::string RequestGuard::addressWithToken(const std::string& host) const {
    std::string address = "http://" + host + "/";
    if (needsToken()) address += "?token=" + settings_.token;
    return address;
}

std::string RequestGuard::pageAddress() const { return pageAddresses().front(); }

std::vector<std::string> RequestGuard::pageAddresses() const {
    if (!anyAddress_) return {addressWithToken(hosts_.front())};
    // 0.0.0.0 or :: names no machine a browser can open: these do.
    std::vector<std::string> addresses{addressWithToken("localhost:" + port_)};
    if (const std::string own = machineName(); !own.empty()) addresses.push_back(addressWithToken(own + ":" + port_));
    for (const std::string& name : settings_.allowHosts)
        addresses.push_back(addressWithToken(bracketed(name) + ":" + port_));
    for (const std::string& address : networkAddresses(settings_.listen == "::"))
        addresses.push_back(addressWithToken(bracketed(address) + ":" + port_));
    return addresses;
}

std::string RequestGuard::exposureWarning() const {
    if (loopback_) return {};
    return "the cockpit listens on " + hosts_.front() + ": anyone who can reach this machine on port " + port_ +
           " and has the address printed below, with its token, can watch and fly it (--listen 127.0.0.1 keeps it "
           "to this machine)";
}

bool isJsonContentType(std::string_view contentType) {
    std::string_view type = contentType.substr(0, contentType.find(';'));
    while (!type.empty() && (type.front() == ' ' || type.front() == '\t')) type.remove_prefix(1);
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.remove_suffix(1);
    return simhost::sameName(type, "application/json");
}

std::string freshToken() {
    std::array<unsigned char, 16> bits{};
    std::size_t got = 0;
    while (got < bits.size()) {
        const ssize_t n = getrandom(bits.data() + got, bits.size() - got, 0);
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bits) {
        token += kHex[b >> 4];
        token += kHex[b & 15];
    }
    return token;
}

}  // namespace zolksim::cockpit
