// A test's view of a live cockpit in the same process: an HTTP client, the
// latest frame read back, and the page's values found in it.
#pragma once

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "sim/cockpit/live_cockpit.h"

namespace cockpit_test {

using nlohmann::json;

// Bounded polling: generous, as the machine may be busy.
constexpr auto kPatience = std::chrono::seconds(30);

inline bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// The text a display draws just below `label` in its column.
inline std::string valueBelow(const json& display, const std::string& label) {
    const json* found = nullptr;
    for (const json& t : display["texts"])
        if (t[3] == label) found = &t;
    if (!found) return {};
    const json* best = nullptr;
    for (const json& t : display["texts"])
        if (t[0] == (*found)[0] && t[1] > (*found)[1] && (!best || t[1] < (*best)[1])) best = &t;
    return best ? (*best)[3].get<std::string>() : std::string{};
}

class CockpitClient {
public:
    explicit CockpitClient(int port) : client_("127.0.0.1", port) {
        client_.set_read_timeout(30, 0);
        client_.set_connection_timeout(10, 0);
        client_.set_tcp_nodelay(true);  // so that a delay measured is the server's
    }

    httplib::Result post(const std::string& body, const httplib::Headers& headers = {}) {
        return client_.Post("/command", headers, body, "application/json");
    }
    httplib::Result post(const json& command) { return post(command.dump()); }
    httplib::Result get(const std::string& path, const httplib::Headers& headers = {}) {
        return client_.Get(path, headers);
    }

    json frame() {
        const auto res = client_.Get("/frame");
        return res && res->status == 200 ? json::parse(res->body) : json{};
    }
    std::string leftValue(const std::string& label) {
        const json f = frame();
        return f.is_object() && !f["displays"].empty() ? valueBelow(f["displays"][0], label) : std::string{};
    }

    httplib::Client& raw() { return client_; }

private:
    httplib::Client client_;
};

// A plain TCP connection to the cockpit, for requests no HTTP client sends.
class RawConnection {
public:
    // from: the loopback address to connect from (127.0.0.2 is another client).
    explicit RawConnection(int port, const char* from = nullptr) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (from) {
            sockaddr_in source{};
            source.sin_family = AF_INET;
            inet_pton(AF_INET, from, &source.sin_addr);
            ::bind(socket_, reinterpret_cast<sockaddr*>(&source), sizeof source);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawConnection() { ::close(socket_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return connected_; }
    bool send(const std::string& text) {
        return ::send(socket_, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
    }
    // What arrives until the server closes the connection, `until` shows or the time is up.
    std::string receive(std::chrono::milliseconds patience, const std::string& until = "\x01never") {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{socket_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return text;
            char block[4096];
            const ssize_t n = ::recv(socket_, block, sizeof block, 0);
            if (n <= 0) {
                closedByServer_ = true;
                return text;
            }
            text.append(block, static_cast<std::size_t>(n));
            if (text.find(until) != std::string::npos) return text;
        }
    }
    bool closedByServer() const { return closedByServer_; }
    // Whether the server has closed the connection by now, without waiting.
    bool closedNow() {
        char byte;
        pollfd p{socket_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && ::recv(socket_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) closedByServer_ = true;
        return closedByServer_;
    }

private:
    int socket_;
    bool connected_ = false;
    bool closedByServer_ = false;
};

// A live cockpit on a free port of 127.0.0.1, paused unless asked otherwise,
// saving into its own folder.
class CockpitLive : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::path(::testing::TempDir()) / ("cockpit_" + std::string(info->name()));
        std::filesystem::remove_all(folder);
    }
    void TearDown() override {
        if (live) live->close();
        std::filesystem::remove_all(folder);
    }

    void open(bool running = false, double warp = 1.0, double step = 1.0, const std::string& listen = "127.0.0.1",
              std::vector<std::string> allowHosts = {}) {
        zolksim::cockpit::CockpitOptions options;
        options.listen = listen;
        options.allowHosts = std::move(allowHosts);
        options.modulePath = ZOLK_MODULE_PATH;
        options.outDir = (folder / "out").string();
        options.port = 0;
        options.running = running;
        options.warp = warp;
        options.step = step;
        live = std::make_unique<zolksim::cockpit::LiveCockpit>(options);
        std::string error, warnings;
        ASSERT_EQ(live->open(error, warnings), 0) << error;
        client = std::make_unique<CockpitClient>(live->port());
        if (listen == "127.0.0.1") {
            ASSERT_TRUE(eventually([&] { return client->frame().is_object(); }));
        }
    }

    std::filesystem::path folder;
    std::unique_ptr<zolksim::cockpit::LiveCockpit> live;
    std::unique_ptr<CockpitClient> client;
};

}  // namespace cockpit_test
