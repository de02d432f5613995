// The cockpit's parts on their own: which Host and Origin headers name it,
// how the chart's history thins itself out, the orbit view's geometry and the
// date shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include <sstream>
#include <vector>

#include "host/world/world.h"
#include "sim/run/command_line.h"
#include "sim/cockpit/frame_board.h"
#include "sim/cockpit/frame_json.h"
#include "sim/cockpit/orbit_view.h"
#include "sim/cockpit/request_guard.h"
#include "sim/cockpit/request_scan.h"

namespace {

using zolksim::cockpit::RequestGuard;

TEST(CockpitRequestGuard, LoopbackAnswersToItsOwnNamesOnItsOwnPortOnly) {
    const RequestGuard guard({"127.0.0.1", 8417, {}, {}});
    for (const char* host : {"127.0.0.1:8417", "localhost:8417", "LOCALHOST:8417", "[::1]:8417"})
        EXPECT_TRUE(guard.hostAllowed(host)) << host;
    for (const char* host : {"", "127.0.0.1", "127.0.0.1:8418", "evil.example:8417", "localhost.evil.example:8417",
                             "127.0.0.1:8417.evil.example", "10.0.0.5:8417"})
        EXPECT_FALSE(guard.hostAllowed(host)) << host;
    EXPECT_TRUE(guard.originAllowed("http://localhost:8417", "localhost:8417"));
    EXPECT_TRUE(guard.originAllowed("http://127.0.0.1:8417", "127.0.0.1:8417"));
    for (const char* origin : {"null", "https://localhost:8417", "http://evil.example", "http://localhost:8417/x", "",
                               "http://127.0.0.1:8417"})
        EXPECT_FALSE(guard.originAllowed(origin, "localhost:8417")) << origin;
    EXPECT_EQ(guard.exposureWarning(), "");
    EXPECT_EQ(RequestGuard({"::1", 8417, {}, {}}).exposureWarning(), "");
    EXPECT_EQ(guard.pageAddress(), "http://127.0.0.1:8417/");
}

TEST(CockpitRequestGuard, EveryAddressAcceptsAddressLiteralsButNoNames) {
    const RequestGuard guard({"0.0.0.0", 9000, {}, {}});
    EXPECT_TRUE(guard.hostAllowed("192.168.1.20:9000"));
    EXPECT_TRUE(guard.hostAllowed("[fe80::1]:9000"));
    EXPECT_FALSE(guard.hostAllowed("192.168.1.20:9001"));
    EXPECT_FALSE(guard.hostAllowed("cockpit.example:9000")) << "a name may be rebound to this machine";
    EXPECT_TRUE(guard.hostAllowed("localhost:9000")) << "this machine's own name for itself";
    EXPECT_TRUE(RequestGuard({"::1", 9000, {}, {}}).hostAllowed("[::1]:9000"));
    // A page from any other address of this network may not post here.
    EXPECT_TRUE(guard.originAllowed("http://192.168.1.20:9000", "192.168.1.20:9000"));
    EXPECT_FALSE(guard.originAllowed("http://10.0.0.66:9000", "192.168.1.20:9000"));
    const std::string warning = guard.exposureWarning();
    EXPECT_NE(warning.find("anyone who can reach this machine on port 9000"), std::string::npos) << warning;
    EXPECT_NE(RequestGuard({"192.168.1.20", 9000, {}, {}}).exposureWarning(), "");
}

TEST(CockpitRequestGuard, BrowsersFetchTheStateOnlyFromTheCockpitsOwnPage) {
    using zolksim::cockpit::isJsonContentType;
    EXPECT_TRUE(RequestGuard::fetchSiteAllowed("", false)) << "not a browser";
    EXPECT_TRUE(RequestGuard::fetchSiteAllowed("same-origin", false));
    EXPECT_TRUE(RequestGuard::fetchSiteAllowed("none", true)) << "typed into the address bar";
    EXPECT_FALSE(RequestGuard::fetchSiteAllowed("none", false)) << "a post nobody's page made";
    for (const char* site : {"same-site", "cross-site", "Same-Origin", "garbage"})
        EXPECT_FALSE(RequestGuard::fetchSiteAllowed(site, true)) << site;

    for (const char* type : {"application/json", "Application/JSON", "application/json; charset=utf-8",
                             " application/json ;x=1"})
        EXPECT_TRUE(isJsonContentType(type)) << type;
    for (const char* type : {"application/jsonp", "application/json-seq", "application/jso", "text/json", "",
                             "text/plain; application/json", "application/json,text/plain"})
        EXPECT_FALSE(isJsonContentType(type)) << type;
}

TEST(CockpitRequestGuard, BeyondLoopbackTheTokenAndTheNamesAllowedLetIn) {
    const RequestGuard loopback({"127.0.0.1", 9000, {}, {}});
    EXPECT_FALSE(loopback.needsToken());
    EXPECT_FALSE(loopback.tokenMatches("")) << "no token, nothing matches it";

    const std::string token = zolksim::cockpit::freshToken();
    ASSERT_EQ(token.size(), 32u);
    EXPECT_NE(token, zolksim::cockpit::freshToken());
    const RequestGuard everywhere({"0.0.0.0", 9000, {"cockpit.lan"}, token});
    EXPECT_TRUE(everywhere.needsToken());
    EXPECT_TRUE(everywhere.tokenMatches(token));
    for (const std::string& wrong : {std::string(), token.substr(1), token + "0", std::string(32, '0')})
        EXPECT_FALSE(everywhere.tokenMatches(wrong)) << wrong;
    for (const char* host : {"localhost:9000", "127.0.0.1:9000", "[::1]:9000", "cockpit.lan:9000", "COCKPIT.LAN:9000"})
        EXPECT_TRUE(everywhere.hostAllowed(host)) << host;
    for (const char* host : {"cockpit.lan:9001", "other.lan:9000", "cockpit.lan"})
        EXPECT_FALSE(everywhere.hostAllowed(host)) << host;

    // The addresses printed are ones a browser can open, each with the token; never 0.0.0.0.
    const std::vector<std::string> addresses = everywhere.pageAddresses();
    ASSERT_FALSE(addresses.empty());
    EXPECT_EQ(addresses.front(), "http://localhost:9000/?token=" + token);
    for (const std::string& address : addresses) {
        EXPECT_EQ(address.find("0.0.0.0"), std::string::npos) << address;
        EXPECT_NE(address.find("?token=" + token), std::string::npos) << address;
    }
    EXPECT_NE(std::find(addresses.begin(), addresses.end(), "http://cockpit.lan:9000/?token=" + token),
              addresses.end());
    EXPECT_EQ(RequestGuard({"192.168.1.20", 9000, {}, token}).pageAddress(),
              "http://192.168.1.20:9000/?token=" + token);
}

using zolksim::cockpit::ScanState;

TEST(CockpitRequestScan, EveryFramingOfABodyIsBoundedAndReadAsOne) {
    const std::string head = "POST /command HTTP/1.1\r\nHost: h\r\n";
    // Whole and within the limit, chunked: rewritten with its length; the next request stays behind it.
    std::string buffer = head + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2;x=1\r\nde\r\n0\r\n\r\nGET /";
    auto scan = zolksim::cockpit::scanRequest(buffer, 10);
    ASSERT_EQ(scan.state, ScanState::Ready);
    EXPECT_EQ(buffer.substr(0, scan.length), head + "Content-Length: 5\r\n\r\nabcde");
    EXPECT_EQ(buffer.substr(scan.length), "GET /");

    // Over the limit: refused once the size shows, before the rest comes.
    buffer = head + "Transfer-Encoding: chunked\r\n\r\n6\r\nabcdef\r\n5\r\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::TooLarge);
    buffer = head + "Content-Length: 11\r\n\r\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::TooLarge);
    buffer = head + "Transfer-Encoding: chunked\r\n\r\nfffffffffffffff\r\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::TooLarge);

    // Not yet whole; asking to continue.
    buffer = head + "Expect: 100-continue\r\nContent-Length: 4\r\n\r\nab";
    scan = zolksim::cockpit::scanRequest(buffer, 10);
    EXPECT_EQ(scan.state, ScanState::NeedMore);
    EXPECT_TRUE(scan.wantsContinue);

    // Two framings, or framing a reader could take two ways: refused.
    for (const std::string& odd : {head + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n",
                                   head + "Content-Length: 3\r\nContent-Length: 4\r\n\r\n",
                                   head + "Transfer-Encoding: gzip\r\n\r\n", head + "Content-Length : 3\r\n\r\n",
                                   head + "Transfer-Encoding: chunked\r\n\r\nzz\r\n"}) {
        buffer = odd;
        EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Malformed) << odd;
    }
    buffer = std::string(zolksim::cockpit::kMaxHeadBytes + 2, 'x');
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Malformed);
}

// Fed `step` bytes at a time, as a slow client sends: the state after the last piece.
ScanState scanByteByByte(const std::string& request, std::size_t step = 1) {
    std::string buffer;
    auto state = ScanState::NeedMore;
    for (std::size_t at = 0; at < request.size(); at += step) {
        buffer += request.substr(at, step);
        state = zolksim::cockpit::scanRequest(buffer, 4096).state;
        if (state != ScanState::NeedMore) break;
    }
    return state;
}

TEST(CockpitRequestScan, LimitsHoldAlikeWhicheverWayTheBytesCome) {
    using zolksim::cockpit::kMaxHeadBytes;
    // A head of exactly the limit (request line and headers with their CRLFs), and one byte more.
    const std::string start = "GET / HTTP/1.1\r\nX: ";
    const std::string atLimit = start + std::string(kMaxHeadBytes - start.size() - 2, 'a') + "\r\n";
    ASSERT_EQ(atLimit.size(), kMaxHeadBytes);
    EXPECT_EQ(scanByteByByte(atLimit + "\r\n"), ScanState::Ready);
    std::string whole = atLimit + "\r\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(whole, 4096).state, ScanState::Ready);
    EXPECT_EQ(scanByteByByte("GET / HTTP/1.1\r\nX: a" + atLimit.substr(start.size()) + "\r\n"), ScanState::Malformed);

    // A chunk-size line of exactly 64 characters, and 65.
    const std::string chunkedHead = "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string line64 = "1;" + std::string(62, 'x');
    EXPECT_EQ(scanByteByByte(chunkedHead + line64 + "\r\na\r\n0\r\n\r\n"), ScanState::Ready);
    EXPECT_EQ(scanByteByByte(chunkedHead + line64 + "x\r\na\r\n0\r\n\r\n"), ScanState::Malformed);

    // A small body in framing past the raw limit: refused even when it all came in one read.
    std::string framed = chunkedHead;
    for (int i = 0; i < 600; ++i) framed += line64 + "\r\na\r\n";
    framed += "0\r\n\r\n";
    ASSERT_GT(framed.size(), zolksim::cockpit::kMaxRawRequestBytes);
    EXPECT_EQ(zolksim::cockpit::scanRequest(framed, 4096).state, ScanState::TooLarge);
    EXPECT_EQ(scanByteByByte(framed, 7), ScanState::TooLarge);
}

TEST(CockpitRequestScan, HeadsReadTwoWaysAreRefusedAtOnce) {
    // Two Host headers, in any case: whichever a reader takes decides which site is asked.
    for (const std::string& twice : {std::string("GET / HTTP/1.1\r\nHost: a:1\r\nHost: b:1\r\n\r\n"),
                                     std::string("GET / HTTP/1.1\r\nHost: a:1\r\nhOST: a:1\r\n\r\n")}) {
        std::string buffer = twice;
        EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Malformed) << twice;
    }
    std::string buffer = "GET / HTTP/1.1\r\nHost: a:1\r\nX-Host: b\r\n\r\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Ready);

    // A bare line feed anywhere in the head, whole or not yet: refused now,
    // not left waiting for a CRLF that never comes.
    for (const std::string& bare :
         {std::string("GET / HTTP/1.1\nHost: a:1\n\n"), std::string("GET / HTTP/1.1\r\nHost: a:1\n"),
          std::string("GET / HTTP/1.1\r\nHost: a:1\r\nX: 1\n\r\n\r\n"), std::string("\n")}) {
        buffer = bare;
        EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Malformed) << bare;
    }
    // A line feed in the body is the body's business.
    buffer = "POST / HTTP/1.1\r\nHost: a:1\r\nContent-Length: 3\r\n\r\n\n\n\n";
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::Ready);
    buffer = "GET / HTTP/1.1\r\nHost: a:1\r";  // half a line end: more to come
    EXPECT_EQ(zolksim::cockpit::scanRequest(buffer, 10).state, ScanState::NeedMore);
}

TEST(CockpitFrameBoard, HistoryThinsOutButSpansTheWholeRun) {
    zolksim::cockpit::FrameBoard board;
    const std::size_t offers = 5 * zolksim::cockpit::kHistoryLimit;
    for (std::size_t i = 0; i < offers; ++i) board.offerSample(std::to_string(i));
    const nlohmann::json history = nlohmann::json::parse(board.history());
    ASSERT_LE(history.size(), zolksim::cockpit::kHistoryLimit);
    EXPECT_GE(history.size(), zolksim::cockpit::kHistoryLimit / 2);
    EXPECT_EQ(history.front(), 0) << "the start stays";
    EXPECT_GE(history.back().get<std::size_t>(), offers - board.stride()) << "and the latest is near the end";
    for (std::size_t i = 1; i < history.size(); ++i) EXPECT_LT(history[i - 1], history[i]);
}

TEST(CockpitFrameBoard, WaitersWakeForANewFrameOrTheClose) {
    zolksim::cockpit::FrameBoard board;
    board.publish("{}");
    EXPECT_EQ(board.waitNewer(0, std::chrono::seconds(30)).number, 1u);
    std::thread closer([&] { board.close(); });
    EXPECT_EQ(board.waitNewer(1, std::chrono::seconds(30)).number, 1u);  // woken by the close, not the timeout
    closer.join();
    EXPECT_TRUE(board.closed());
}

TEST(CockpitOrbitView, LaysTheOrbitOutInItsPlaneWithTheBurnWindowAroundPeriapsis) {
    simhost::Body earth("Earth", 3.986004418e14, 6371000.0);
    simhost::Vessel tug("Tug");
    // At periapsis of a 400 x 2000 km orbit, moving along +y, the plane tilted.
    const double rp = 6771000.0, ra = 8371000.0, a = (rp + ra) / 2;
    const double speed = std::sqrt(earth.gm * (2 / rp - 1 / a));
    const double tilt = 0.5;
    tug.pos = {rp, 0, 0};
    tug.vel = {0, speed * std::cos(tilt), speed * std::sin(tilt)};
    const auto view = zolksim::cockpit::orbitView(tug, earth);
    ASSERT_TRUE(view.valid);
    EXPECT_NEAR(view.periapsis, rp, 1.0);
    EXPECT_NEAR(view.apoapsis, ra, 1.0);
    EXPECT_NEAR(view.x, rp, 1.0);
    EXPECT_NEAR(view.y, 0.0, 1.0);
    // A third of the period around periapsis: symmetric, and wider than a
    // third of a turn in angle, as the orbit is fastest there.
    EXPECT_NEAR(view.windowFrom, -view.windowTo, 1e-9);
    EXPECT_GT(view.windowTo, M_PI / 3);
    EXPECT_LT(view.windowTo, M_PI / 2);
    EXPECT_FALSE(view.burning);

    // Prograde thrust at periapsis points a quarter turn ahead in the plane.
    simhost::Propellant* tank = tug.addPropellant(10, 10);
    simhost::Thruster* engine = tug.addThruster({0, 0, 0}, {0, 0, 1}, 1.0, 3000.0, tank);
    engine->level = 1.0;
    tug.rot = {{{1, 0, 0}, {0, 0, std::cos(tilt)}, {0, 0, std::sin(tilt)}}};
    const auto burning = zolksim::cockpit::orbitView(tug, earth);
    EXPECT_TRUE(burning.burning);
    EXPECT_NEAR(burning.thrustX, 0.0, 1e-9);
    EXPECT_NEAR(burning.thrustY, 1.0, 1e-9);
}

TEST(CockpitFrameJson, DatesAreCivilDatesInUtc) {
    EXPECT_EQ(zolksim::cockpit::dateText(51544.5), "2000-01-01 12:00:00");
    EXPECT_EQ(zolksim::cockpit::dateText(60650.0), "2024-12-06 00:00:00");
    EXPECT_EQ(zolksim::cockpit::dateText(60650.0 + 86399.6 / 86400.0), "2024-12-07 00:00:00");
    EXPECT_EQ(zolksim::cockpit::dateText(51603.0), "2000-02-29 00:00:00");
}

zolksim::ParsedCommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zolksim");
    std::ostringstream out, err;
    return zolksim::parseCommandLine(static_cast<int>(args.size()), args.data(), out, err);
}

TEST(CockpitCommandLine, ServeTakesAPortAndAnAddressButNoEndOrScript) {
    const auto served = parse({"--serve", "--port", "0", "--listen", "::1"});
    ASSERT_TRUE(served.run);
    EXPECT_TRUE(served.options.serve);
    EXPECT_EQ(served.options.port, 0);
    EXPECT_EQ(served.options.listen, "::1");
    EXPECT_EQ(parse({"--serve"}).options.listen, "127.0.0.1") << "this machine only, by default";
    const auto named = parse({"--serve", "--listen", "0.0.0.0", "--allow-host", "cockpit.lan", "--allow-host", "pc"});
    ASSERT_TRUE(named.run);
    EXPECT_EQ(named.options.allowHosts, (std::vector<std::string>{"cockpit.lan", "pc"}));
    for (const auto& args : std::vector<std::vector<const char*>>{{"--serve", "--days", "1"},
                                                                 {"--serve", "--script", "x.txt"},
                                                                 {"--port", "9000"},
                                                                 {"--listen", "0.0.0.0"},
                                                                 {"--allow-host", "pc"},
                                                                 {"--serve", "--port", "70000"}})
        EXPECT_FALSE(parse(args).run) << args.back();
}

}  // namespace
