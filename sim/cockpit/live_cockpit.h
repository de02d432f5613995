// The live cockpit put together: the module and scenario loaded into the
// world, the simulation thread flying it, the server showing it. zolksim
// --serve runs one until Ctrl+C; the tests and the benchmark run one in-process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/cockpit/command_queue.h"
#include "sim/cockpit/frame_board.h"
#include "sim/run/options.h"

namespace zolksim::cockpit {

class LiveFlight;
class CockpitServer;

struct CockpitOptions {
    std::string scenarioPath;  // empty: the built-in default mission
    std::string modulePath;    // empty: the module beside the program
    double step = 1.0;         // simulated s per host step
    std::string outDir = "zolksim-out";
    std::string listen = "127.0.0.1";
    int port = kDefaultCockpitPort;  // 0: any free port
    std::vector<std::string> allowHosts;  // more names the cockpit answers to
    bool running = true;      // flying from the start, else paused
    double warp = 1.0;
};

class LiveCockpit {
public:
    explicit LiveCockpit(CockpitOptions options);
    LiveCockpit(const LiveCockpit&) = delete;
    LiveCockpit& operator=(const LiveCockpit&) = delete;
    ~LiveCockpit();

    // Loads the module and the scenario into a fresh world, then starts the
    // simulation thread and the server. 0 when all is up; else, with the
    // reason in error and nothing left running, 2 for a scenario that cannot
    // be flown, 1 for anything else. Warnings about the scenario go to warnings.
    int open(std::string& error, std::string& warnings);
    // Stops the server and the simulation thread and empties the world.
    void close();

    int port() const;
    std::string pageAddress() const;
    // Every address a browser can open, the token with them where one is needed.
    std::vector<std::string> pageAddresses() const;
    // Listening beyond this machine: who can reach the cockpit; else empty.
    std::string exposureWarning() const;
    std::uint64_t steps() const;
    std::uint64_t heldEvents() const;
    const FrameBoard& board() const { return board_; }

private:
    CockpitOptions options_;
    CommandQueue queue_;
    FrameBoard board_;
    std::unique_ptr<LiveFlight> flight_;
    std::unique_ptr<CockpitServer> server_;
    bool worldInUse_ = false;
};

}  // namespace zolksim::cockpit
