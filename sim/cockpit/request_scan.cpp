#include "sim/cockpit/request_scan.h"

#include <string_view>
#include <vector>

namespace zolksim::cockpit {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kMaxChunkLine = 64;  // hex size and any extension

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// Decimal, at most 18 digits (so no overflow); false for anything else.
bool decimal(std::string_view text, std::size_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

// A chunk's size line: hex digits, perhaps an extension after ';'. At most
// 15 digits; -1 when it is not one.
long long chunkSize(std::string_view line) {
    line = trimmed(line.substr(0, line.find(';')));
    if (line.empty() || line.size() > 15) return -1;
    long long value = 0;
    for (char c : line) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return -1;
        value = value * 16 + digit;
    }
    return value;
}

struct Head {
    std::string kept;  // the request line and the headers that pass through, each ending in CRLF
    bool hasLength = false, chunked = false, wantsContinue = false, hasHost = false;
    std::size_t length = 0;
};

bool readHead(std::string_view head, Head& h) {
    std::size_t at = head.find(kLineEnd);
    h.kept.assign(head.substr(0, at + 2));  // the request line
    for (at += 2; at < head.size();) {
        const std::size_t end = head.find(kLineEnd, at);
        const std::string_view line = head.substr(at, end - at);
        at = end + 2;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) return false;
        const std::string_view name = line.substr(0, colon), value = trimmed(line.substr(colon + 1));
        if (name.back() == ' ' || name.back() == '\t') return false;  // read differently by different readers
        if (sameWord(name, "content-length")) {
            std::size_t length = 0;
            if (!decimal(value, length) || (h.hasLength && length != h.length)) return false;
            h.hasLength = true;
            h.length = length;
        } else if (sameWord(name, "transfer-encoding")) {
            if (!sameWord(value, "chunked") || h.chunked) return false;
            h.chunked = true;
        } else if (sameWord(name, "host") && h.hasHost) {
            return false;  // which of two names the request is for is anyone's guess
        } else if (sameWord(name, "expect")) {
            if (!sameWord(value, "100-continue")) return false;
            h.wantsContinue = true;
        } else {
            h.hasHost = h.hasHost || sameWord(name, "host");
            h.kept.append(line).append(kLineEnd);
        }
    }
    return !(h.hasLength && h.chunked);  // two framings: which one a reader takes decides where the next request starts
}

// The chunked body from `at`: the decoded bytes and where the request ends,
// or the state that stops it.
ScanState readChunks(const std::string& buffer, std::size_t at, std::size_t limit, std::string& body,
                     std::size_t& end) {
    for (;;) {
        const std::size_t lineEnd = buffer.find(kLineEnd, at);
        if (lineEnd == std::string::npos)
            // A line of the limit may still end: its CR is here, its LF not yet.
            return buffer.size() - at > kMaxChunkLine + 1 ? ScanState::Malformed : ScanState::NeedMore;
        if (lineEnd - at > kMaxChunkLine) return ScanState::Malformed;
        const long long size = chunkSize(std::string_view(buffer).substr(at, lineEnd - at));
        if (size < 0) return ScanState::Malformed;
        if (body.size() + static_cast<std::size_t>(size) > limit) return ScanState::TooLarge;
        at = lineEnd + 2;
        if (size == 0) {
            // Trailer lines (ignored) up to an empty one.
            for (;;) {
                const std::size_t trailerEnd = buffer.find(kLineEnd, at);
                if (trailerEnd == std::string::npos) return ScanState::NeedMore;
                if (trailerEnd == at) {
                    end = at + 2;
                    return ScanState::Ready;
                }
                at = trailerEnd + 2;
            }
        }
        const std::size_t chunk = static_cast<std::size_t>(size);
        if (buffer.size() < at + chunk + 2) return ScanState::NeedMore;
        if (buffer.compare(at + chunk, 2, kLineEnd) != 0) return ScanState::Malformed;
        body.append(buffer, at, chunk);
        at += chunk + 2;
    }
}

// A line feed without its carriage return in the first `size` bytes: lines
// that some readers end there and others do not. Waiting for a CRLF that
// never comes would hold the client until its deadline.
bool hasBareLineFeed(const std::string& buffer, std::size_t size) {
    for (std::size_t at = buffer.find('\n'); at < size; at = buffer.find('\n', at + 1))
        if (at == 0 || buffer[at - 1] != '\r') return true;
    return false;
}

}  // namespace

RequestScan scanRequest(std::string& buffer, const ScanLimits& limits) {
    RequestScan scan;
    const std::size_t headEnd = buffer.find("\r\n\r\n");
    if (hasBareLineFeed(buffer, headEnd == std::string::npos ? buffer.size() : headEnd)) {
        scan.state = ScanState::Malformed;
        return scan;
    }
    if (headEnd == std::string::npos) {
        // A head of the limit (its last CRLF included) still has its empty
        // line's CRLF to come: refused only once that cannot end it.
        if (buffer.size() > limits.head + 1) scan.state = ScanState::Malformed;
        return scan;
    }
    if (headEnd + 2 > limits.head) {
        scan.state = ScanState::Malformed;
        return scan;
    }
    Head head;
    if (!readHead(std::string_view(buffer).substr(0, headEnd + 2), head)) {
        scan.state = ScanState::Malformed;
        return scan;
    }
    const std::size_t bodyAt = headEnd + 4;
    std::string body;
    std::size_t end = bodyAt;
    if (head.chunked) {
        scan.state = readChunks(buffer, bodyAt, limits.body, body, end);
        // Framing beyond the raw limit (many tiny chunks, long trailers) is
        // refused however the bytes came: whole in one read or piece by piece.
        if ((scan.state == ScanState::NeedMore && buffer.size() > limits.raw) ||
            (scan.state == ScanState::Ready && end > limits.raw))
            scan.state = ScanState::TooLarge;
    } else if (head.hasLength) {
        if (head.length > limits.body) scan.state = ScanState::TooLarge;
        else if (buffer.size() >= bodyAt + head.length) {
            body.assign(buffer, bodyAt, head.length);
            end = bodyAt + head.length;
            scan.state = ScanState::Ready;
        }
    } else {
        scan.state = ScanState::Ready;
    }
    if (scan.state == ScanState::NeedMore) scan.wantsContinue = head.wantsContinue;
    if (scan.state != ScanState::Ready) return scan;

    std::string request = std::move(head.kept);
    if (head.chunked || head.hasLength) request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "\r\n";
    request += body;
    scan.length = request.size();
    buffer.replace(0, end, request);
    return scan;
}

}  // namespace zolksim::cockpit
