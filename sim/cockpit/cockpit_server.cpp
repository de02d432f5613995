#include "sim/cockpit/cockpit_server.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

#include "sim/cockpit/door_server.h"
#include "sim/cockpit/request_guard.h"
#include "sim/cockpit/web_assets.h"

namespace zolksim::cockpit {

namespace {

constexpr std::size_t kServerThreads = 24;  // each event stream holds one
constexpr auto kCommandWait = std::chrono::seconds(10);
// How often a quiet stream looks for a new frame and for its page gone (a
// closed page frees its place within this).
constexpr auto kStreamPoll = std::chrono::milliseconds(250);
constexpr int kKeepAlivePolls = 60;  // a comment line every 15 s keeps proxies from closing a quiet stream

void answer(httplib::Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

void refuse(httplib::Response& res, int status, const std::string& why) {
    answer(res, status, {{"ok", false}, {"error", why}});
}

// The value of the cookie `name` in a Cookie header ("a=1; b=2"), or "".
std::string cookieValue(const std::string& cookies, const std::string& name) {
    for (std::size_t at = 0; at < cookies.size();) {
        std::size_t end = cookies.find(';', at);
        if (end == std::string::npos) end = cookies.size();
        std::string pair = cookies.substr(at, end - at);
        pair.erase(0, pair.find_first_not_of(' '));
        if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 && pair[name.size()] == '=')
            return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

bool isRead(const httplib::Request& req) { return req.method == "GET" || req.method == "HEAD"; }

int statusOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done: return 200;
    case Outcome::Refused: return 200;  // the pilot's entry was refused, not the request
    case Outcome::Impossible: return 409;
    }
    return 500;
}

}  // namespace

CockpitServer::CockpitServer(CommandQueue& queue, FrameBoard& board) : queue_(queue), board_(board) {}

CockpitServer::~CockpitServer() { stop(); }

std::string CockpitServer::pageAddress() const { return guard_ ? guard_->pageAddress() : std::string{}; }
std::vector<std::string> CockpitServer::pageAddresses() const {
    return guard_ ? guard_->pageAddresses() : std::vector<std::string>{};
}
std::string CockpitServer::exposureWarning() const { return guard_ ? guard_->exposureWarning() : std::string{}; }

bool CockpitServer::takeStreamPlace(const std::string& client, std::string& why) {
    std::lock_guard lock(streamsMutex_);
    if (streams_ >= kMaxEventStreams) {
        why = "the cockpit has " + std::to_string(kMaxEventStreams) + " viewers, as many as it takes: close one of them";
        return false;
    }
    int& own = streamsByClient_[client];
    if (own >= kMaxStreamsPerClient) {
        why = "this client watches with " + std::to_string(kMaxStreamsPerClient) +
              " pages already, as many as one client may: close one of them";
        return false;
    }
    ++own;
    ++streams_;
    return true;
}

void CockpitServer::freeStreamPlace(const std::string& client) {
    std::lock_guard lock(streamsMutex_);
    --streams_;
    if (--streamsByClient_[client] <= 0) streamsByClient_.erase(client);
}

int CockpitServer::viewers() const {
    std::lock_guard lock(streamsMutex_);
    return streams_;
}

bool CockpitServer::start(const ServerSettings& settings, std::string& error) {
    const std::string& address = settings.listen;
    const int port = settings.port;
    DoorLimits limits;
    limits.workers = kServerThreads;
    limits.bodyBytes = kMaxBodyBytes;
    server_ = std::make_unique<DoorServer>(limits);
    // Not the library's SO_REUSEPORT: a second cockpit on the same port must
    // fail to start rather than share the port's connections with this one.
    server_->set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    if (port == 0) {
        port_ = server_->bind_to_any_port(address);
        if (port_ <= 0) {
            error = "cannot listen on " + address;
            return false;
        }
    } else {
        if (!server_->bind_to_port(address, port)) {
            error = "cannot listen on " + address + " port " + std::to_string(port) + " (in use?)";
            return false;
        }
        port_ = port;
    }
    // The backlog the library asks for is a handful: a burst of connections
    // beyond it waits out SYN retransmits, seconds each.
    server_->widenBacklog();
    GuardSettings guard{address, port_, settings.allowHosts, {}};
    guard_ = std::make_unique<RequestGuard>(guard);
    if (guard_->needsToken()) {
        guard.token = freshToken();
        guard_ = std::make_unique<RequestGuard>(guard);
    }
    route();
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    return true;
}

void CockpitServer::stop() {
    board_.close();  // event streams end at their next look
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
    if (server_) server_->closeDoor();
}

void CockpitServer::route() {
    httplib::Server& s = *server_;

    s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        // On every answer, refusals too: never shown inside another site's page.
        res.set_header("Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'");
        res.set_header("X-Frame-Options", "DENY");
        res.set_header("X-Content-Type-Options", "nosniff");
        res.set_header("Cache-Control", "no-store");
        const std::string host = req.get_header_value("Host");
        if (!guard_->hostAllowed(host)) {
            refuse(res, 403, "this cockpit answers only to " + guard_->pageAddress());
            return httplib::Server::HandlerResponse::Handled;
        }
        if (guard_->needsToken()) {
            const bool inAddress = req.has_param("token");
            const std::string given = inAddress ? req.get_param_value("token")
                                                : cookieValue(req.get_header_value("Cookie"), guard_->tokenCookie());
            if (!guard_->tokenMatches(given)) {
                refuse(res, 403, "open the cockpit at the address it printed, with its token");
                return httplib::Server::HandlerResponse::Handled;
            }
            // The page's own files come with the cookie; its script sends the token itself.
            if (inAddress)
                res.set_header("Set-Cookie", guard_->tokenCookie() + "=" + guard_->token() +
                                                 "; Path=/; HttpOnly; SameSite=Strict");
        }
        // The page and its files may be opened from anywhere (a link); the
        // state, the stream and the commands only from the page itself.
        const bool pageFile = isRead(req) && (findWebAsset(req.path) || req.path == "/favicon.ico");
        if (!pageFile) {
            if (!RequestGuard::fetchSiteAllowed(req.get_header_value("Sec-Fetch-Site"), isRead(req)) ||
                (req.has_header("Origin") && !guard_->originAllowed(req.get_header_value("Origin"), host))) {
                refuse(res, 403, isRead(req) ? "the cockpit's state is shown only on its own page"
                                             : "commands come only from the cockpit's own page");
                return httplib::Server::HandlerResponse::Handled;
            }
        }
        if (!isRead(req) && !isJsonContentType(req.get_header_value("Content-Type"))) {
            refuse(res, 415, "a command is sent as application/json");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    s.Get(R"(/([a-z]+\.(html|css|js))?)", [](const httplib::Request& req, httplib::Response& res) {
        const WebAsset* asset = findWebAsset(req.path);
        if (!asset) return refuse(res, 404, "no such file");
        res.set_content(std::string(asset->body), contentTypeOf(asset->path));
    });

    // Browsers ask for an icon; the cockpit has none.
    s.Get("/favicon.ico", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });

    s.Get("/frame", [this](const httplib::Request&, httplib::Response& res) {
        const Frame frame = board_.latest();
        if (!frame.json) return refuse(res, 503, "no frame yet");
        res.set_content(*frame.json, "application/json");
    });

    s.Get("/viewers", [this](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, {{"viewers", viewers()}, {"limit", kMaxEventStreams}});
    });

    s.Get("/events", [this](const httplib::Request& req, httplib::Response& res) {
        std::string why;
        if (!takeStreamPlace(req.remote_addr, why)) return refuse(res, 503, why);
        // The history first, then every frame as it comes (a slow reader skips
        // frames, never falls behind), and the number of viewers when it changes.
        auto sent = std::make_shared<std::uint64_t>(0);
        auto quiet = std::make_shared<int>(0);
        auto viewers = std::make_shared<int>(0);
        auto history = std::make_shared<std::string>("event: history\ndata: " + board_.history() + "\n\n");
        res.set_chunked_content_provider(
            "text/event-stream",
            [this, sent, quiet, viewers, history](std::size_t, httplib::DataSink& sink) {
                if (!history->empty()) {
                    if (!sink.write(history->data(), history->size())) return false;
                    history->clear();
                }
                if (const int now = this->viewers(); now != *viewers) {
                    *viewers = now;
                    const std::string event = "event: viewers\ndata: " + std::to_string(now) + "\n\n";
                    if (!sink.write(event.data(), event.size())) return false;
                }
                const Frame frame = board_.waitNewer(*sent, kStreamPoll);
                if (board_.closed() || (sink.is_writable && !sink.is_writable())) return false;  // shutting down, or the page is gone
                if (frame.number > *sent && frame.json) {
                    *sent = frame.number;
                    *quiet = 0;
                    const std::string event = "event: frame\ndata: " + *frame.json + "\n\n";
                    return sink.write(event.data(), event.size());
                }
                if (++*quiet < kKeepAlivePolls) return true;
                *quiet = 0;
                return sink.write(": still here\n\n", 14);
            },
            [this, client = req.remote_addr](bool) { freeStreamPlace(client); });
    });

    s.Post("/command", [this](const httplib::Request& req, httplib::Response& res) {
        Command command;
        std::string error;
        if (!parseCommand(req.body, command, error)) return refuse(res, 400, error);
        std::future<CommandResult> pending;
        if (!queue_.push(std::move(command), pending)) return refuse(res, 503, "the cockpit is not taking commands");
        if (pending.wait_for(kCommandWait) != std::future_status::ready)
            return refuse(res, 503, "the simulation did not answer in time");
        const CommandResult result = pending.get();
        answer(res, statusOf(result.outcome),
               {{"ok", result.outcome == Outcome::Done}, {"refused", result.outcome == Outcome::Refused},
                {"message", result.message}});
    });
}

}  // namespace zolksim::cockpit
