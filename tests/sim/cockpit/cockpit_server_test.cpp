// The live cockpit served in-process and worked over HTTP as the browser
// works it: the page and its assets, the event stream, the pilot's commands
// and the requests it must refuse.
#include <gtest/gtest.h>

#include <atomic>
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
    EXPECT_FALSE(second.start("127.0.0.1", live->port(), error)) << "connections would go to either";
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    EXPECT_EQ(client->get("/frame")->status, 200);
}

TEST_F(CockpitLive, EventStreamStartsWithTheHistoryThenCarriesFramesWithThePage) {
    open(/*running=*/true, /*warp=*/1000.0);
    CockpitClient watcher(live->port());
    const auto events = readEvents(watcher.raw(), [](const auto& e) { return e.size() >= 4; });
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].first, "history");
    EXPECT_TRUE(json::parse(events[0].second).is_array());
    double lastTime = -1.0;
    for (std::size_t i = 1; i < events.size(); ++i) {
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
    // Not JSON by its type: a form post from anywhere.
    EXPECT_EQ(status(client->raw().Post("/command", toggle, "text/plain")), 415);
    // Too big, malformed, or not a command.
    EXPECT_EQ(status(client->post(std::string(64 * 1024, ' ') + toggle)), 413);
    for (const std::string& body :
         {std::string("{\"do\":\"key\""), std::string("[]"), std::string("{\"do\":\"fly\"}"),
          std::string("{\"do\":\"key\",\"display\":\"Left\",\"key\":\"KK\"}"),
          std::string("{\"do\":\"key\",\"display\":\"Left\",\"key\":\"%\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":12,\"event\":\"down\"}"),
          std::string("{\"do\":\"button\",\"display\":\"Left\",\"index\":\"0\",\"event\":\"down\"}"),
          std::string("{\"do\":\"type\",\"text\":\"") + std::string(256, '7') + "\"}",
          std::string("{\"do\":\"type\",\"text\":\"1\\u0000\"}"), std::string("{\"do\":\"warp\",\"factor\":3}"),
          std::string("{\"do\":\"save\",\"name\":\"../escape.scn\"}"),
          std::string("{\"do\":\"save\",\"name\":\".hidden\"}"),
          std::string("{\"do\":\"open\",\"display\":\"\"}")}) {
        const auto res = client->post(body);
        ASSERT_TRUE(res) << body;
        EXPECT_EQ(res->status, 400) << body;
        EXPECT_FALSE(json::parse(res->body)["error"].get<std::string>().empty()) << body;
    }
    EXPECT_EQ(client->frame().dump(), before);
    EXPECT_EQ(live->steps(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "escape.scn"));
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

    EXPECT_EQ(client->post(command("open", {{"display", "Right"}}))->status, 200);
    EXPECT_EQ(client->post(command("open", {{"display", "Right"}}))->status, 409);
    client->post(command("key", {{"display", "Right"}, {"key", "K"}}));
    const json displays = client->frame()["displays"];
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(valueBelow(displays[0], kAutoBurn), "Off") << "both displays show the one record";
    EXPECT_EQ(valueBelow(displays[1], kAutoBurn), "Off");
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
