// The live cockpit served in-process and worked over HTTP as the browser
// works it: the page and its assets, the event stream, the pilot's commands
// and the requests it must refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "sim/cockpit/cockpit_server.h"
#include "tests/sim/cockpit/cockpit_client.h"

namespace cockpit_test {
namespace {

const std::string kAutoBurn = "Auto Burn 1/3 Orbit Around Periapsis";
const std::string kThrust = "Main Eng.Max Thrust";
const std::string kIsp = "Main Eng.ISP";

json command(const std::string& verb, json fields = json::object()) {
    fields["do"] = verb;
    return fields;
}

json key(const std::string& letter) { return command("key", {{"display", "Left"}, {"key", letter}}); }
json button(int index, const std::string& event) {
    return command("button", {{"display", "Left"}, {"index", index}, {"event", event}});
}

// Reads the event stream until `enough` says so; the events' data, in order.
std::vector<std::pair<std::string, std::string>> readEvents(
    httplib::Client& client, const std::function<bool(const std::vector<std::pair<std::string, std::string>>&)>& enough) {
    std::vector<std::pair<std::string, std::string>> events;
    std::string buffer;
    client.Get("/events", [&](const char* data, std::size_t length) {
        buffer.append(data, length);
        for (std::size_t end; (end = buffer.find("\n\n")) != std::string::npos; buffer.erase(0, end + 2)) {
            const std::string block = buffer.substr(0, end);
            const std::size_t eventAt = block.find("event: "), dataAt = block.find("\ndata: ");
            if (eventAt != 0 || dataAt == std::string::npos) continue;  // a comment line
            events.emplace_back(block.substr(7, dataAt - 7), block.substr(dataAt + 7));
        }
        return !enough(events);
    });
    return events;
}

TEST_F(CockpitLive, ServesThePageAndItsAssetsAndNothingElse) {
    open();
    const struct {
        const char* path;
        const char* type;
        const char* holds;
    } assets[] = {{"/", "text/html", "<title>ZolkMFD live cockpit</title>"},
                  {"/index.html", "text/html", "cockpit.js"},
                  {"/cockpit.js", "text/javascript", "EventSource"},
                  {"/orbit.js", "text/javascript", "class ZolkOrbit"},
                  {"/chart.js", "text/javascript", "class ZolkChart"},
                  {"/cockpit.css", "text/css", ".screen"}};
    for (const auto& a : assets) {
        SCOPED_TRACE(a.path);
        const auto res = client->get(a.path);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_EQ(res->get_header_value("Content-Type").rfind(a.type, 0), 0u);
        EXPECT_NE(res->body.find(a.holds), std::string::npos);
        EXPECT_NE(res->get_header_value("Content-Security-Policy").find("default-src 'self'"), std::string::npos);
    }
    for (const char* path : {"/missing.js", "/../CMakeLists.txt", "/%2e%2e/etc/passwd", "/web/index.html"}) {
        const auto res = client->get(path);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 404) << path;
    }
}

TEST_F(CockpitLive, ASecondCockpitCannotTakeThePort) {
    open();
    zolksim::cockpit::CommandQueue queue;
    zolksim::cockpit::FrameBoard board;
    zolksim::cockpit::CockpitServer second(queue, board);
    std::string error;
    EXPECT_FALSE(second.start({"127.0.0.1", live->port(), {}}, error)) << "connections would go to either";
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    EXPECT_EQ(client->get("/frame")->status, 200);
}

TEST_F(CockpitLive, EventStreamStartsWithTheHistoryThenCarriesFramesWithThePage) {
    open(/*running=*/true, /*warp=*/1000.0);
    CockpitClient watcher(live->port());
    const auto events = readEvents(watcher.raw(), [](const auto& e) { return e.size() >= 5; });
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(events[0].first, "history");
    EXPECT_TRUE(json::parse(events[0].second).is_array());
    EXPECT_EQ(events[1], std::make_pair(std::string("viewers"), std::string("1")));
    double lastTime = -1.0;
    for (std::size_t i = 2; i < events.size(); ++i) {
        ASSERT_EQ(events[i].first, "frame");
        EXPECT_LT(events[i].second.size(), 8192u) << "a frame is a few KB";
        const json frame = json::parse(events[i].second);
        const json& left = frame["displays"][0];
        EXPECT_EQ(left["position"], "Left");
        EXPECT_EQ(left["texts"][0][3], "Z.O.L.K. MFD");
        EXPECT_EQ(valueBelow(left, "Attitude Hold"), "On");
        EXPECT_EQ(left["labels"][0], "ATT");
        EXPECT_EQ(left["labels"][5], "ABP");
        EXPECT_EQ(left["menu"][5][2], "K");
        EXPECT_GT(frame["time"].get<double>(), lastTime) << "time moves on from frame to frame";
        lastTime = frame["time"];
    }
}

TEST_F(CockpitLive, TheTitleStandsInsideTheScreen) {
    open();
    const json title = client->frame()["displays"][0]["texts"][0];
    ASSERT_EQ(title[3], "Z.O.L.K. MFD");
    EXPECT_GT(title[0].get<int>(), 0);
    EXPECT_GE(title[1].get<int>(), 16 / 4) << "a quarter of a character down, clear of the top edge";
}

TEST_F(CockpitLive, KeysAndButtonsReachTheDisplayAsTheHostDeliversThem) {
    open();
    ASSERT_EQ(client->leftValue(kAutoBurn), "On");
    auto res = client->post(key("K"));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(client->leftValue(kAutoBurn), "Off");
    EXPECT_EQ(client->post(key("k"))->status, 200);  // letter case as the keyboard has it
    EXPECT_EQ(client->leftValue(kAutoBurn), "On");

    // The button acts when it goes down; its release and any other display do nothing.
    EXPECT_EQ(client->post(button(0, "down"))->status, 200);
    EXPECT_EQ(client->leftValue("Attitude Hold"), "Off");
    EXPECT_EQ(client->post(button(0, "up"))->status, 200);
    EXPECT_EQ(client->leftValue("Attitude Hold"), "Off");
    EXPECT_EQ(client->post(command("key", {{"display", "Right"}, {"key", "A"}}))->status, 409);
    EXPECT_EQ(client->leftValue("Attitude Hold"), "Off");
}

TEST_F(CockpitLive, TypedEntriesAreAcceptedOrRefusedAndBoxesCancelled) {
    open();
    ASSERT_EQ(client->post(button(3, "down"))->status, 200);  // ENG
    client->post(button(3, "up"));
    json box = client->frame()["box"];
    ASSERT_TRUE(box.is_object());
    EXPECT_EQ(box["title"], "Enter Main.Eng.Max Thrust Total(N)");

    auto res = client->post(command("type", {{"text", "fast"}}));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_TRUE(json::parse(res->body)["refused"].get<bool>());
    EXPECT_TRUE(client->frame()["box"].is_object()) << "a refused entry keeps the box open";
    EXPECT_EQ(client->leftValue(kThrust), "3.000 N");

    res = client->post(command("type", {{"text", "250000"}}));
    EXPECT_FALSE(json::parse(res->body)["refused"].get<bool>());
    EXPECT_TRUE(client->frame()["box"].is_null());
    EXPECT_EQ(client->leftValue(kThrust), "250000.000 N");

    client->post(key("M"));  // the ISP box, cancelled: nothing changes
    ASSERT_TRUE(client->frame()["box"].is_object());
    EXPECT_EQ(client->post(command("cancel"))->status, 200);
    EXPECT_TRUE(client->frame()["box"].is_null());
    EXPECT_EQ(client->leftValue(kIsp), "30000.00 N*s/kg");
    EXPECT_EQ(client->post(command("cancel"))->status, 409) << "no box is open";
    EXPECT_EQ(client->post(command("type", {{"text", "1"}}))->status, 409);
}

TEST_F(CockpitLive, ForeignOrMalformedRequestsAreRefusedAndChangeNothing) {
    open();
    const std::string before = client->frame().dump();
    const std::string toggle = key("K").dump();
    const auto status = [&](const httplib::Result& res) { return res ? res->status : -1; };

    // Another site's page, or a name rebound to this machine.
    EXPECT_EQ(status(client->post(toggle, {{"Origin", "http://evil.example"}})), 403);
    EXPECT_EQ(status(client->post(toggle, {{"Origin", "null"}})), 403);
    EXPECT_EQ(status(client->post(toggle, {{"Host", "evil.example:" + std::to_string(live->port())}})), 403);
    EXPECT_EQ(status(client->get("/frame", {{"Host", "rebound.example"}})), 403);
    // Not JSON by its type: what any site's form or script may post without asking.
    for (const char* type : {"text/plain", "application/x-www-form-urlencoded", "multipart/form-data; boundary=x",
                             "text/plain; application/json", ""})
        EXPECT_EQ(status(client->raw().Post("/command", toggle, type)), 415) << type;
    // Too big, malformed, or not a command.
    EXPECT_EQ(status(client->post(std::string(64 * 1024, ' ') + toggle)), 413);
    for (const std::string& body :
         {std::string("{\"do\":\"key\""), std::string("[]"), std::string("{\"do\":\"fly\"}"),
          std::string("{\"do\":\"key\",\"display\":\"Left\",\"key\":\"KK\"}"),
          std::string("{\"do\":\"key\",\"display\":\"Left\",\"key\":\"%\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":12,\"event\":\"down\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":4294967296,\"event\":\"down\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":18446744073709551616,\"event\":\"down\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":\"0\",\"event\":\"down\"}"),
          std::string("{\"do\":\"type\",\"text\":\"") + std::string(256, '7') + "\"}",
          std::string("{\"do\":\"type\",\"text\":\"1\\u0000\"}"), std::string("{\"do\":\"warp\",\"factor\":3}"),
          std::string("{\"do\":\"save\",\"name\":\"../escape.scn\"}"),
          std::string("{\"do\":\"save\",\"name\":\".hidden\"}"),
          std::string("{\"do\":\"open\",\"display\":\"\"}"),
          std::string("{\"do\":\"open\",\"display\":\"R\u00e9gion\"}"),
          std::string("{\"do\":\"close\",\"display\":\"a/b\"}")}) {
        const auto res = client->post(body);
        ASSERT_TRUE(res) << body;
        EXPECT_EQ(res->status, 400) << body;
        EXPECT_FALSE(json::parse(res->body)["error"].get<std::string>().empty()) << body;
    }
    EXPECT_EQ(client->frame().dump(), before);
    EXPECT_EQ(live->steps(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "escape.scn"));

    // What a real browser sends from the cockpit's own page is taken.
    const std::string own = "http://127.0.0.1:" + std::to_string(live->port());
    EXPECT_EQ(status(client->post(toggle, {{"Origin", own}})), 200);
    EXPECT_EQ(client->leftValue("Auto Burn 1/3 Orbit Around Periapsis"), "Off");
}

std::string chunked(const std::string& body, std::size_t piece) {
    std::string framed;
    for (std::size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        framed += size + part + "\r\n";
    }
    return framed + "0\r\n\r\n";
}

TEST_F(CockpitLive, BodiesAreBoundedHoweverTheyAreFramed) {
    open();
    const std::string head = "POST /command HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(live->port()) +
                             "\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
    RawConnection small(live->port());
    ASSERT_TRUE(small.send(head.substr(0, head.size() - 2) + "Connection: close\r\n\r\n" + chunked(key("K").dump(), 5)));
    EXPECT_EQ(small.receive(std::chrono::seconds(30)).rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(client->leftValue("Auto Burn 1/3 Orbit Around Periapsis"), "Off");

    RawConnection large(live->port());
    large.send(head + chunked(std::string(5000, ' ') + key("K").dump(), 1000));
    EXPECT_EQ(large.receive(std::chrono::seconds(30)).rfind("HTTP/1.1 413", 0), 0u);
    EXPECT_TRUE(large.closedByServer());
    EXPECT_EQ(client->leftValue("Auto Burn 1/3 Orbit Around Periapsis"), "Off");
}

// The median of some commands' round trips, in ms, on a kept-alive connection.
double medianCommandMs(CockpitClient& c, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto res = c.post(command("pause"));
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        times.push_back(res && res->status == 200 ? ms : 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TEST_F(CockpitLive, AnswersAreNotHeldBackOnAKeptAliveConnection) {
    open();
    // As a browser sends them: each request in one piece, on one connection.
    // An answer's body held back for the acknowledgement of its head, which
    // the client delays, would take ~40 ms.
    RawConnection browser(live->port());
    const std::string body = command("pause").dump();
    const std::string request = "POST /command HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(live->port()) +
                                "\r\nContent-Type: application/json\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    std::vector<double> ms;
    for (int i = 0; i < 31; ++i) {
        const auto start = std::chrono::steady_clock::now();
        browser.send(request);
        const std::string answer = browser.receive(std::chrono::seconds(10), "}");
        ASSERT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    EXPECT_LT(ms[ms.size() / 2], 20.0);
}

TEST_F(CockpitLive, SlowClientsHoldNoThreadAndAreDroppedOnADeadline) {
    open();
    CockpitClient pilot(live->port());
    pilot.raw().set_read_timeout(2, 0);
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 30; ++i) slow.push_back(std::make_unique<RawConnection>(live->port()));
    const std::string request = "GET /frame HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(live->port()) + "\r\n\r\n";
    std::vector<double> medians;
    std::size_t sent = 0;
    for (; sent < 4; ++sent) {  // one byte a second from each
        const auto second = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        for (auto& c : slow) c->send(request.substr(sent, 1));
        medians.push_back(medianCommandMs(pilot, 3));
        std::this_thread::sleep_until(second);
    }
    std::sort(medians.begin(), medians.end());
    EXPECT_LT(medians[medians.size() / 2], 100.0) << "commands wait while slow clients trickle in";
    // Two seconds from a request's first byte to its last: long gone by now.
    int dropped = 0;
    for (auto& c : slow) {
        c->receive(std::chrono::milliseconds(100));
        dropped += c->closedByServer();
    }
    EXPECT_EQ(dropped, 30);
}

TEST_F(CockpitLive, AClosedPageFreesItsPlaceAtOnceAndAFullCockpitSaysSo) {
    open();  // paused: no frames come to show a stream that its page is gone
    const std::string request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(live->port()) + "\r\n\r\n";
    const auto watch = [&](RawConnection& c) {
        c.send(request);
        return c.receive(std::chrono::milliseconds(500), "event: history");
    };
    // From several clients (addresses), as each takes at most its share.
    std::vector<std::unique_ptr<RawConnection>> viewers;
    const char* clients[] = {"127.0.0.1", "127.0.0.2", "127.0.0.3"};
    for (int i = 0; i < zolksim::cockpit::kMaxEventStreams; ++i) {
        viewers.push_back(std::make_unique<RawConnection>(live->port(), clients[i / zolksim::cockpit::kMaxStreamsPerClient]));
        ASSERT_NE(watch(*viewers.back()).find("event: history"), std::string::npos) << i;
    }
    RawConnection oneTooMany(live->port(), "127.0.0.4");
    const std::string refused = watch(oneTooMany);
    EXPECT_EQ(refused.rfind("HTTP/1.1 503", 0), 0u);
    EXPECT_NE(refused.find("has 16 viewers"), std::string::npos) << refused;
    EXPECT_EQ(json::parse(client->get("/viewers")->body)["viewers"], 16);

    // Pages reloaded one after another: each closed stream makes room within a second.
    viewers.clear();
    for (int i = 0; i < 12; ++i) {
        const auto closed = std::chrono::steady_clock::now();
        bool watching = false;
        while (!watching && std::chrono::steady_clock::now() - closed < std::chrono::milliseconds(1500)) {
            RawConnection page(live->port());
            watching = watch(page).find("event: history") != std::string::npos;
            if (watching) break;
        }
        EXPECT_TRUE(watching) << "reload " << i;
        if (!watching) break;
    }
}

TEST_F(CockpitLive, SavesIntoTheOutputFolderAndOpensASecondDisplayOnTheSameRecord) {
    open();
    auto res = client->post(command("save", {{"name", "live.scn"}}));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    const auto saved = folder / "out" / "live.scn";
    ASSERT_TRUE(std::filesystem::exists(saved));
    std::ifstream file(saved);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("MODE ZOLKMFD"), std::string::npos);
    EXPECT_EQ(client->frame()["saved"], saved.string());
    EXPECT_EQ(json::parse(res->body)["message"].get<std::string>().find("replacing"), std::string::npos);
    res = client->post(command("save", {{"name", "live.scn"}}));
    EXPECT_NE(json::parse(res->body)["message"].get<std::string>().find("replacing the file"), std::string::npos);

    EXPECT_EQ(client->post(command("open", {{"display", "Right"}}))->status, 200);
    EXPECT_EQ(client->post(command("open", {{"display", "Right"}}))->status, 409);
    client->post(command("key", {{"display", "Right"}, {"key", "K"}}));
    const json displays = client->frame()["displays"];
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(valueBelow(displays[0], kAutoBurn), "Off") << "both displays show the one record";
    EXPECT_EQ(valueBelow(displays[1], kAutoBurn), "Off");

    EXPECT_EQ(client->post(command("close", {{"display", "Right"}}))->status, 200);
    EXPECT_EQ(client->frame()["displays"].size(), 1u);
    EXPECT_EQ(client->post(command("close", {{"display", "Right"}}))->status, 409);
}

TEST_F(CockpitLive, TimeRunsAtTheWarpAndStandsStillWhilePaused) {
    open();
    EXPECT_EQ(client->frame()["running"], false);
    EXPECT_EQ(client->post(command("warp", {{"factor", 100000}}))->status, 200);
    EXPECT_EQ(client->post(command("run"))->status, 200);
    ASSERT_TRUE(eventually([&] { return client->frame()["time"].get<double>() > 3600.0; }));
    const json running = client->frame();
    EXPECT_EQ(running["warp"], 100000.0);
    EXPECT_FALSE(running["date"].get<std::string>().empty());
    EXPECT_TRUE(running["orbit"]["a"].get<double>() > running["orbit"]["radius"].get<double>());

    EXPECT_EQ(client->post(command("pause"))->status, 200);
    const std::uint64_t steps = live->steps();
    const double time = client->frame()["time"];
    client->post(command("warp", {{"factor", 10}}));  // a command wakes it, and it stays paused
    EXPECT_EQ(live->steps(), steps);
    EXPECT_EQ(client->frame()["time"].get<double>(), time);
}

TEST_F(CockpitLive, TheOrbitAndTheChartFollowThePagesBodyAndAStepMovesThePausedWorld) {
    open();
    json frame = client->frame();
    EXPECT_EQ(frame["chartOf"], "Ion Tug about Earth");
    EXPECT_EQ(frame["orbit"]["body"], "Earth");
    client->post(button(1, "down"));  // REF
    client->post(button(1, "up"));
    ASSERT_TRUE(client->frame()["box"].is_object());
    ASSERT_FALSE(json::parse(client->post(command("type", {{"text", "Moon"}}))->body)["refused"].get<bool>());
    frame = client->frame();
    EXPECT_EQ(frame["chartOf"], "Ion Tug about Moon");
    ASSERT_TRUE(frame["orbit"].is_object());
    EXPECT_EQ(frame["orbit"]["body"], "Moon");
    EXPECT_GT(frame["orbit"]["periapsis"].get<double>(), 1e8) << "the tug is far from the Moon";

    // Paused, one step at a time; running, no single steps.
    const double time = frame["time"];
    EXPECT_EQ(client->post(command("step"))->status, 200);
    EXPECT_EQ(client->frame()["time"].get<double>(), time + 1.0);
    EXPECT_EQ(live->steps(), 1u);
    client->post(command("run"));
    EXPECT_EQ(client->post(command("step"))->status, 409);
}

// Simulated seconds per wall second over about two wall seconds, from frames.
double measuredWarp(CockpitClient& c) {
    const auto start = std::chrono::steady_clock::now();
    const double from = c.frame()["time"];
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double to = c.frame()["time"];
    return (to - from) / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(CockpitLive, RunsAtTheWarpAskedWithFramesAtTheirRateAndHeldButtons) {
    open(/*running=*/true, /*warp=*/100.0);  // a few percent of a core, even under a sanitizer
    // Within 25 %: frames are 40 ms apart at either end of the two seconds.
    const double warp = measuredWarp(*client);
    EXPECT_GT(warp, 75.0);
    EXPECT_LT(warp, 125.0);

    // About 25 frames a second; 2.5 or 100 would be a fault.
    CockpitClient watcher(live->port());
    const auto start = std::chrono::steady_clock::now();
    const auto events = readEvents(watcher.raw(), [&](const auto&) {
        return std::chrono::steady_clock::now() - start > std::chrono::seconds(2);
    });
    const double perSecond = static_cast<double>(std::count_if(events.begin(), events.end(), [](const auto& e) {
                                 return e.first == "frame";
                             })) / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(perSecond, 12.0);
    EXPECT_LT(perSecond, 30.0);

    // A button held down is told so every frame until it is released.
    client->post(button(0, "down"));
    const std::uint64_t held = live->heldEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_GT(live->heldEvents(), held + 4);
    client->post(button(0, "up"));
    const std::uint64_t released = live->heldEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(live->heldEvents(), released);
}

TEST_F(CockpitLive, SaysWhenItCannotKeepPace) {
    open(/*running=*/true, /*warp=*/100000.0, /*step=*/0.001);  // 100 million steps a wall second asked
    EXPECT_TRUE(eventually([&] { return client->frame()["behind"] == true; }));
}

TEST_F(CockpitLive, TwoClientsSeeTheSameWorld) {
    open();
    CockpitClient first(live->port()), second(live->port());
    std::atomic<bool> firstSawIt{false}, secondSawIt{false};
    const auto watch = [](CockpitClient& c, std::atomic<bool>& saw) {
        return std::thread([&c, &saw] {
            readEvents(c.raw(), [&](const auto& events) {
                for (const auto& [name, data] : events)
                    if (name == "frame" && valueBelow(json::parse(data)["displays"][0], "Attitude Hold") == "Off")
                        saw = true;
                return saw.load();
            });
        });
    };
    std::thread a = watch(first, firstSawIt), b = watch(second, secondSawIt);
    // One client's command; both streams show its effect.
    EXPECT_TRUE(eventually([&] {
        if (client->leftValue("Attitude Hold") == "On") client->post(key("A"));
        return firstSawIt && secondSawIt;
    }));
    live->close();  // ends the streams should either still be waiting
    a.join();
    b.join();
    EXPECT_TRUE(firstSawIt);
    EXPECT_TRUE(secondSawIt);
}

}  // namespace
}  // namespace cockpit_test
