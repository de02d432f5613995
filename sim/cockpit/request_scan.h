// Whether the bytes a connection has sent so far hold a whole HTTP request,
// read before any worker thread is given the connection: a client that sends
// slowly never holds a thread, and a body over the limit is refused as soon
// as its size shows, however it is framed (Content-Length or chunked).
#pragma once

#include <cstddef>
#include <string>

namespace zolksim::cockpit {

constexpr std::size_t kMaxHeadBytes = 8192;        // request line and headers
constexpr std::size_t kMaxRawRequestBytes = 32768;  // with a chunked body's framing

enum class ScanState {
    NeedMore,   // not whole yet
    Ready,      // a whole request leads the buffer (see RequestScan::length)
    TooLarge,   // the body is over the limit: answer 413 and close
    Malformed,  // not a request this server reads: answer 400 and close
};

struct RequestScan {
    ScanState state = ScanState::NeedMore;
    // Ready: the bytes of the request at the front of the buffer, rewritten
    // with a Content-Length body; what follows is the connection's next request.
    std::size_t length = 0;
    // NeedMore: the head asked for "100 Continue" before it sends its body.
    bool wantsContinue = false;
};

struct ScanLimits {
    std::size_t head = kMaxHeadBytes;       // request line and headers, each with its CRLF
    std::size_t raw = kMaxRawRequestBytes;  // a chunked request as sent, framing and all
    std::size_t body = 4096;                // the body decoded
};

// Looks at what a connection sent; once a request is whole, rewrites it at the
// front of `buffer` with its body decoded and framed by Content-Length (no
// Transfer-Encoding, no Expect), so that the request reader sees one framing only.
RequestScan scanRequest(std::string& buffer, const ScanLimits& limits);
inline RequestScan scanRequest(std::string& buffer, std::size_t bodyLimit) {
    return scanRequest(buffer, ScanLimits{kMaxHeadBytes, kMaxRawRequestBytes, bodyLimit});
}

}  // namespace zolksim::cockpit
