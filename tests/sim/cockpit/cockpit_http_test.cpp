// The cockpit's HTTP edges worked over raw connections: who may read its
// state, how many streams one client takes, the limits at the door and the
// details of the protocol a careless server gets wrong.
#include <gtest/gtest.h>
#include <netinet/tcp.h>

#include <cstdlib>
#include <filesystem>

#include "sim/cockpit/cockpit_server.h"
#include "sim/cockpit/door_server.h"
#include "sim/cockpit/request_guard.h"
#include "tests/sim/cockpit/cockpit_client.h"

namespace cockpit_test {
namespace {

int status(const httplib::Result& res) { return res ? res->status : -1; }

std::string hostLine(int port) { return "Host: 127.0.0.1:" + std::to_string(port) + "\r\n"; }

std::string post(int port, const std::string& body, const std::string& more = "") {
    return "POST /command HTTP/1.1\r\n" + hostLine(port) + more + "Content-Type: application/json\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The answer's status, from its first line.
int statusOf(const std::string& answer) {
    return answer.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(answer.c_str() + 9) : -1;
}

TEST_F(CockpitLive, OtherSitesNeitherReadTheStateNorFrameThePage) {
    open();
    // A page of another site, or of another port of this one ("same-site"), asking for the state or the stream.
    // Raw connections with a deadline: a stream let through by mistake would never end.
    const auto answer = [&](const std::string& path, const std::string& header) {
        RawConnection c(live->port());
        c.send("GET " + path + " HTTP/1.1\r\n" + hostLine(live->port()) + header + "\r\n\r\n");
        return statusOf(c.receive(std::chrono::seconds(5), "\r\n\r\n"));
    };
    for (const char* path : {"/events", "/frame", "/viewers"}) {
        for (const char* site : {"cross-site", "same-site"})
            EXPECT_EQ(answer(path, std::string("Sec-Fetch-Site: ") + site), 403) << path << " " << site;
        EXPECT_EQ(answer(path, "Origin: http://127.0.0.1:1"), 403) << path;
    }
    EXPECT_EQ(json::parse(client->get("/viewers")->body)["viewers"], 0) << "no refused stream holds a place";
    const std::string own = "http://127.0.0.1:" + std::to_string(live->port());
    EXPECT_EQ(status(client->get("/frame", {{"Sec-Fetch-Site", "same-origin"}, {"Origin", own}})), 200);
    EXPECT_EQ(status(client->get("/frame", {{"Sec-Fetch-Site", "none"}})), 200) << "typed into the address bar";
    EXPECT_EQ(status(client->get("/", {{"Sec-Fetch-Site", "cross-site"}})), 200) << "a link to the cockpit";
    EXPECT_EQ(status(client->post(json{{"do", "pause"}}.dump(), {{"Sec-Fetch-Site", "same-site"}})), 403);

    // Every answer, refusals and the door's own included, forbids framing.
    RawConnection bad(live->port()), large(live->port());
    bad.send("GET / HTTP/1.1\n\n");
    large.send("POST /command HTTP/1.1\r\n" + hostLine(live->port()) + "Content-Length: 99999\r\n\r\n");
    const std::vector<std::string> heads = {bad.receive(std::chrono::seconds(10)), large.receive(std::chrono::seconds(10))};
    for (const std::string& head : heads) {
        EXPECT_NE(head.find("frame-ancestors 'none'"), std::string::npos) << head;
        EXPECT_NE(head.find("X-Frame-Options: DENY"), std::string::npos) << head;
    }
    const httplib::Result answers[] = {client->get("/"), client->get("/frame"), client->get("/missing.js"),
                                       client->get("/frame", {{"Host", "evil.example"}}),
                                       client->raw().Post("/command", "{}", "text/plain"), client->post(std::string("{}"))};
    for (const auto& res : answers) {
        ASSERT_TRUE(res);
        EXPECT_NE(res->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"), std::string::npos)
            << res->status;
        EXPECT_EQ(res->get_header_value("X-Frame-Options"), "DENY") << "for browsers without frame-ancestors";
    }
}

TEST_F(CockpitLive, OneClientTakesAtMostItsShareOfTheStreams) {
    open();
    const std::string request = "GET /events HTTP/1.1\r\n" + hostLine(live->port()) + "\r\n";
    std::vector<std::unique_ptr<RawConnection>> streams;
    const auto watch = [&](const char* from) {
        streams.push_back(std::make_unique<RawConnection>(live->port(), from));
        streams.back()->send(request);
        return streams.back()->receive(std::chrono::seconds(5), "event: history");
    };
    using zolksim::cockpit::kMaxEventStreams;
    using zolksim::cockpit::kMaxStreamsPerClient;
    for (int i = 0; i < kMaxStreamsPerClient; ++i) ASSERT_EQ(statusOf(watch("127.0.0.2")), 200) << i;
    const std::string refused = watch("127.0.0.2");
    EXPECT_EQ(statusOf(refused), 503);
    EXPECT_NE(refused.find("as many as one client may"), std::string::npos) << refused;
    // Others still find places, up to the cockpit's limit.
    int watching = kMaxStreamsPerClient;
    for (const char* from : {"127.0.0.3", "127.0.0.4", "127.0.0.5"})
        for (int i = 0; i < kMaxStreamsPerClient && watching < kMaxEventStreams; ++i, ++watching)
            ASSERT_EQ(statusOf(watch(from)), 200) << from << " " << i;
    const std::string full = watch("127.0.0.6");
    EXPECT_EQ(statusOf(full), 503);
    EXPECT_NE(full.find("has 16 viewers"), std::string::npos) << full;
    // A client's closed streams give it back its places.
    streams.clear();
    EXPECT_TRUE(eventually([&] { return json::parse(client->get("/viewers")->body)["viewers"] == 0; }));
    EXPECT_EQ(statusOf(watch("127.0.0.2")), 200);
}

// The backlog of the socket listening on `port` in this process, from the
// kernel's view of it (TCP_INFO's sacked field holds a listener's backlog).
int listenBacklog(int port) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::atoi(entry.path().filename().c_str());
        int listening = 0;
        socklen_t size = sizeof listening;
        sockaddr_in address{};
        socklen_t addressSize = sizeof address;
        if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &addressSize) != 0 || ntohs(address.sin_port) != port)
            continue;
        tcp_info info{};
        socklen_t infoSize = sizeof info;
        if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &infoSize) == 0) return static_cast<int>(info.tcpi_sacked);
    }
    return -1;
}

TEST_F(CockpitLive, TheDoorTakesTheSystemsBacklogAndAtMost512WaitingConnections) {
    open();
    EXPECT_GE(listenBacklog(live->port()), 128) << "a burst of connections would wait out SYN retransmits";

    // 512 idle connections wait at the door; more are closed at once.
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 520; ++i) {
        idle.push_back(std::make_unique<RawConnection>(live->port()));
        ASSERT_TRUE(idle.back()->connected()) << i;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // all accepted by now
    int closed = 0;
    for (auto& c : idle) closed += c->closedNow();
    // The test's own client waits there too, between its requests.
    EXPECT_GE(closed, 8);
    EXPECT_LE(closed, 9);
    idle.clear();
    EXPECT_TRUE(eventually([&] { return client->frame().is_object(); }));
}

TEST_F(CockpitLive, ABodyOfTheLimitIsTakenAndOneByteMoreIsNot) {
    open();
    using zolksim::cockpit::kMaxBodyBytes;
    const std::string pause = json{{"do", "pause"}}.dump();
    const auto padded = [&](std::size_t size) { return pause + std::string(size - pause.size(), ' '); };
    for (const bool chunked : {false, true}) {
        SCOPED_TRACE(chunked ? "chunked" : "with its length");
        for (const std::size_t size : {kMaxBodyBytes, kMaxBodyBytes + 1}) {
            RawConnection c(live->port());
            const std::string body = padded(size);
            if (chunked) {
                char line[16];
                std::snprintf(line, sizeof line, "%zx\r\n", size);
                c.send("POST /command HTTP/1.1\r\n" + hostLine(live->port()) +
                       "Content-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n" + line + body + "\r\n0\r\n\r\n");
            } else {
                c.send(post(live->port(), body));
            }
            EXPECT_EQ(statusOf(c.receive(std::chrono::seconds(10), "}")), size == kMaxBodyBytes ? 200 : 413) << size;
        }
    }
}

TEST_F(CockpitLive, HttpDetailsAreAnsweredAsTheStandardSays) {
    open();
    const int port = live->port();
    // Two Host headers: refused, whichever comes first.
    RawConnection twice(port);
    twice.send("GET /frame HTTP/1.1\r\n" + hostLine(port) + "Host: evil.example\r\n\r\n");
    EXPECT_EQ(statusOf(twice.receive(std::chrono::seconds(10))), 400);

    // The content type is JSON's exactly, parameters aside.
    const std::string pause = json{{"do", "pause"}}.dump();
    EXPECT_EQ(status(client->raw().Post("/command", pause, "application/jsonp")), 415);
    EXPECT_EQ(status(client->raw().Post("/command", pause, "Application/JSON; charset=utf-8")), 200);

    // Lines ended by a bare line feed: refused at once, before the 2 s deadline closes it unanswered.
    RawConnection bare(port);
    bare.send("GET /frame HTTP/1.1\nHost: 127.0.0.1:" + std::to_string(port) + "\n\n");
    const std::string refused = bare.receive(std::chrono::milliseconds(1500));
    EXPECT_EQ(statusOf(refused), 400) << refused;

    // A number past the largest double, and a save name too long: each said as it is.
    auto res = client->post(std::string(R"({"do":"warp","factor":1e400})"));
    EXPECT_EQ(status(res), 400);
    EXPECT_NE(res->body.find("too large"), std::string::npos) << res->body;
    res = client->post(json{{"do", "save"}, {"name", std::string(255, 'a')}});
    EXPECT_EQ(status(res), 400);
    EXPECT_NE(res->body.find("at most 200 characters"), std::string::npos) << res->body;
    EXPECT_EQ(status(client->post(json{{"do", "save"}, {"name", std::string(200, 'a')}})), 200);
}

TEST_F(CockpitLive, AKeptAliveConnectionEndsAfterTheRequestsItsHeaderAllows) {
    open();
    RawConnection c(live->port());
    const std::string request = "GET /viewers HTTP/1.1\r\n" + hostLine(live->port()) + "\r\n";
    std::string answer;
    int answered = 0;
    for (; answered < 150; ++answered) {
        if (!c.send(request)) break;
        answer = c.receive(std::chrono::seconds(10), "}");
        if (statusOf(answer) != 200) break;
        if (answered == 0) {
            const std::size_t max = answer.find("max=");
            ASSERT_NE(max, std::string::npos) << answer;
            EXPECT_EQ(std::atoi(answer.c_str() + max + 4), 100);
        }
        if (answer.find("Connection: close") != std::string::npos) {
            ++answered;
            break;
        }
    }
    EXPECT_EQ(answered, 100);
    c.receive(std::chrono::seconds(5));
    EXPECT_TRUE(c.closedByServer());
}

TEST_F(CockpitLive, ListeningEverywhereAnswersLoopbackNamesAndAllowedOnesWithTheTokenOnly) {
    open(false, 1.0, 1.0, "0.0.0.0", {"cockpit.lan"});
    const std::vector<std::string> addresses = live->pageAddresses();
    ASSERT_FALSE(addresses.empty());
    const std::string port = std::to_string(live->port());
    const std::string prefix = "http://localhost:" + port + "/?token=";
    ASSERT_EQ(addresses.front().rfind(prefix, 0), 0u) << addresses.front();
    const std::string token = addresses.front().substr(prefix.size());
    ASSERT_EQ(token.size(), 32u);
    for (const std::string& a : addresses) EXPECT_EQ(a.find("0.0.0.0"), std::string::npos) << a;

    for (const std::string& host : {"localhost:" + port, "127.0.0.1:" + port, "cockpit.lan:" + port}) {
        SCOPED_TRACE(host);
        EXPECT_EQ(status(client->get("/frame", {{"Host", host}})), 403) << "no token";
        EXPECT_EQ(status(client->get("/", {{"Host", host}})), 403) << "not even the page";
        EXPECT_EQ(status(client->get("/frame?token=" + std::string(32, '0'), {{"Host", host}})), 403);
        EXPECT_TRUE(eventually([&] { return status(client->get("/frame?token=" + token, {{"Host", host}})) == 200; }));
    }
    EXPECT_EQ(status(client->get("/?token=" + token, {{"Host", "other.lan:" + port}})), 403);
    // The page is opened with the token; its own files come with the cookie it sets.
    const auto page = client->get("/?token=" + token, {{"Host", "localhost:" + port}});
    ASSERT_EQ(status(page), 200);
    const std::string cookie = page->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos) << cookie;
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos) << cookie;
    const std::string pair = cookie.substr(0, cookie.find(';'));
    EXPECT_EQ(status(client->get("/cockpit.js", {{"Host", "localhost:" + port}, {"Cookie", "a=1; " + pair}})), 200);
    EXPECT_EQ(status(client->post(json{{"do", "pause"}}.dump(), {{"Host", "localhost:" + port}})), 403);
    EXPECT_EQ(status(client->post(json{{"do", "pause"}}.dump(), {{"Host", "localhost:" + port}, {"Cookie", pair}})), 200);
}

}  // namespace
}  // namespace cockpit_test
