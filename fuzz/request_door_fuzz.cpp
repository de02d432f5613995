// The bytes of one connection as the cockpit's door takes them: collected in
// reads of any size, scanned after each read, every whole request handed to
// the HTTP library's request reader as the server's workers hand it. The
// first input byte picks the read sizes, the second the limits (small ones,
// so that inputs of a few KB reach them); the rest is the connection.
//
// Invariants: the door never holds more than its limits before it decides
// (a head, a raw chunked request, a body); a request handed on has exactly one framing (one
// Content-Length giving the body's size, no Transfer-Encoding, no Expect), one
// Host at most and no bare line feed in its head; the library reads it with
// that body, or (a method without one, such as GET) reads its head alone, the
// door dropping the body; and the decisions do not depend on how the bytes were
// split into reads: the same requests, then the same end, as if the whole
// connection had come in one read.
#include <httplib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "sim/cockpit/request_scan.h"

namespace {

using zolksim::cockpit::RequestScan;
using zolksim::cockpit::ScanLimits;
using zolksim::cockpit::scanRequest;
using zolksim::cockpit::ScanState;

constexpr std::size_t kReadBlock = 16384;  // the door's largest read

[[noreturn]] void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "request_door_fuzz: %s\n%.*s\n", what, static_cast<int>(std::min<std::size_t>(detail.size(), 2000)),
                 detail.data());
    std::abort();
}

bool sameWord(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The end of the connection: which refusal, or bytes left waiting.
enum class End { Waiting, TooLarge, Malformed };

struct Outcome {
    std::vector<std::string> requests;  // as handed on, in order
    End end = End::Waiting;
};

// A request as handed on: checks its framing and returns its body.
std::string checkHandedOn(std::string_view request, const ScanLimits& limits) {
    const std::size_t headEnd = request.find("\r\n\r\n");
    if (headEnd == std::string_view::npos) broken("a request handed on without a whole head", request);
    // The rewritten head may have gained a Content-Length line of its own.
    if (headEnd + 2 > limits.head + 64) broken("a head over the limit handed on", request);
    const std::string_view head = request.substr(0, headEnd + 2), body = request.substr(headEnd + 4);
    for (std::size_t at = head.find('\n'); at != std::string_view::npos; at = head.find('\n', at + 1))
        if (at == 0 || head[at - 1] != '\r') broken("a bare line feed handed on", request);
    int lengths = 0, hosts = 0;
    std::size_t length = 0;
    for (std::size_t at = head.find("\r\n") + 2; at < head.size();) {
        const std::size_t end = head.find("\r\n", at);
        const std::string_view line = head.substr(at, end - at);
        at = end + 2;
        const std::string_view name = line.substr(0, line.find(':'));
        if (sameWord(name, "transfer-encoding") || sameWord(name, "expect")) broken("a second framing handed on", request);
        if (sameWord(name, "host")) ++hosts;
        if (sameWord(name, "content-length")) {
            ++lengths;
            length = std::strtoull(std::string(line.substr(name.size() + 1)).c_str(), nullptr, 10);
        }
    }
    if (lengths > 1 || hosts > 1) broken("a header twice handed on", request);
    if ((lengths == 1 ? length : 0) != body.size()) broken("a Content-Length that is not the body's size", request);
    if (body.size() > limits.body) broken("a body over the limit handed on", request);
    return std::string(body);
}

// The door's way: bytes appended read by read, scanned after each, whole
// requests taken off the front until none is whole.
Outcome feed(std::string_view connection, const std::vector<std::size_t>& reads, const ScanLimits& limits) {
    Outcome out;
    std::string pending;
    std::size_t at = 0, next = 0;
    for (;;) {
        // Requests already whole (pipelined) are taken before more is read.
        RequestScan scan = scanRequest(pending, limits);
        while (scan.state == ScanState::Ready) {
            if (scan.length == 0 || scan.length > pending.size()) broken("a request length outside the buffer");
            out.requests.emplace_back(pending, 0, scan.length);
            pending.erase(0, scan.length);
            if (pending.empty()) break;
            scan = scanRequest(pending, limits);
        }
        if (scan.state == ScanState::TooLarge) return out.end = End::TooLarge, out;
        if (scan.state == ScanState::Malformed) return out.end = End::Malformed, out;
        if (scan.state == ScanState::NeedMore && pending.size() > std::max(limits.raw, limits.head + limits.body + 4))
            broken("more than the raw limit held waiting", pending);
        if (at >= connection.size()) return out;
        const std::size_t size = std::min(reads[next++ % reads.size()], connection.size() - at);
        pending.append(connection.substr(at, size));
        at += size;
    }
}

// The request reader the workers run, reading from memory and answering into it.
class MemoryStream : public httplib::Stream {
public:
    explicit MemoryStream(std::string_view request) : request_(request) {}
    bool is_readable() const override { return read_ < request_.size(); }
    bool is_writable() const override { return true; }
    ssize_t read(char* data, size_t size) override {
        const std::size_t n = std::min(size, request_.size() - read_);
        std::copy_n(request_.data() + read_, n, data);
        read_ += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char*, size_t size) override { return static_cast<ssize_t>(size); }
    void get_remote_ip_and_port(std::string& ip, int& port) const override { ip = "127.0.0.1", port = 1; }
    void get_local_ip_and_port(std::string& ip, int& port) const override { ip = "127.0.0.1", port = 2; }
    socket_t socket() const override { return -1; }
    std::size_t unread() const { return request_.size() - read_; }

private:
    std::string_view request_;
    std::size_t read_ = 0;
};

class Reader : public httplib::Server {
public:
    Reader() {
        set_payload_max_length(1 << 20);  // the door has bounded the body already
        const auto record = [this](const httplib::Request& req, httplib::Response&) {
            ++handled;
            body = req.body;
        };
        Get(".*", record);
        Post(".*", record);
        Put(".*", record);
        Delete(".*", record);
        Options(".*", record);
        Patch(".*", record);
    }
    // The request read as a worker reads it.
    void read(std::string_view request) {
        handled = 0;
        body.clear();
        MemoryStream stream(request);
        bool closed = false;
        process_request(stream, true, closed, [](httplib::Request&) {});
        if (handled > 1) broken("one request read as two", request);
        unread = stream.unread();
    }
    int handled = 0;
    std::string body;
    std::size_t unread = 0;  // the reader takes no body for GET and the like; the door drops those bytes
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static Reader reader;
    // Limits from the second byte: a head of 32 to 536 bytes, raw framing up
    // to 2 KB beyond it, a body of 0 to 1 KB (the cockpit's: 8192, 32768, 4096).
    const std::uint8_t scale = data[1];
    ScanLimits limits;
    limits.head = 32 + (scale & 7) * 72;
    limits.raw = limits.head + ((scale >> 3) & 3) * 682;
    limits.body = ((scale >> 5) & 7) * 146;
    // Read sizes from the first byte: 1 to 8 bytes at a time (a slow client),
    // 9 to 72, or blocks up to the door's.
    const std::uint8_t pick = data[0];
    std::vector<std::size_t> reads;
    if (pick < 64) reads = {static_cast<std::size_t>(pick % 8 + 1), static_cast<std::size_t>(pick / 8 + 1)};
    else if (pick < 128) reads = {static_cast<std::size_t>(pick - 55), static_cast<std::size_t>(pick % 16 + 9)};
    else reads = {kReadBlock, static_cast<std::size_t>(pick - 127) * 37};
    const std::string_view connection(reinterpret_cast<const char*>(data + 2), size - 2);

    const Outcome pieces = feed(connection, reads, limits);
    const Outcome whole = feed(connection, {std::max<std::size_t>(connection.size(), 1)}, limits);
    if (pieces.requests != whole.requests) broken("the requests depend on how the bytes were split", connection);
    if ((pieces.end == End::Waiting) != (whole.end == End::Waiting))
        broken("a refusal that depends on how the bytes were split", connection);

    for (const std::string& request : pieces.requests) {
        const std::string body = checkHandedOn(request, limits);
        reader.read(request);
        if (reader.handled != 1) continue;
        if (reader.unread == 0 ? reader.body != body : reader.unread != body.size() || !reader.body.empty())
            broken("the reader took another body, or stopped inside one", request);
    }
    return 0;
}
