#include "sim/cockpit/live_cockpit.h"

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/cockpit/cockpit_server.h"
#include "sim/cockpit/live_flight.h"
#include "sim/run/default_mission.h"
#include "sim/run/module_path.h"

namespace zolksim::cockpit {

LiveCockpit::LiveCockpit(CockpitOptions options) : options_(std::move(options)) {}

LiveCockpit::~LiveCockpit() { close(); }

int LiveCockpit::open(std::string& error, std::string& warnings) {
    simhost::World& world = simhost::world();
    world.reset();
    worldInUse_ = true;
    const std::string module = options_.modulePath.empty() ? defaultModulePath() : options_.modulePath;
    if (module.empty()) {
        error = "cannot find the module beside zolksim; name it with --module";
        close();
        return 1;
    }
    if (!world.modules().load(module, error)) {
        error = module + ": " + error;
        close();
        return 1;
    }
    const simhost::ScenarioLoad load = options_.scenarioPath.empty()
                                           ? simhost::loadScenarioText(kDefaultMissionText, kDefaultMissionName)
                                           : simhost::loadScenarioFile(options_.scenarioPath);
    if (!load.ok) {
        error = simhost::messageText(load.error);
        close();
        return 2;
    }
    for (const simhost::ScenarioMessage& warning : load.warnings) warnings += simhost::messageText(warning) + "\n";

    LiveSettings settings{options_.step, options_.outDir, load.description, options_.running, options_.warp};
    flight_ = std::make_unique<LiveFlight>(queue_, board_, std::move(settings));
    server_ = std::make_unique<CockpitServer>(queue_, board_);
    if (!server_->start(ServerSettings{options_.listen, options_.port, options_.allowHosts}, error)) {
        close();
        return 1;
    }
    flight_->start();
    return 0;
}

void LiveCockpit::close() {
    if (server_) server_->stop();
    if (flight_) flight_->stop();
    server_.reset();
    flight_.reset();
    if (worldInUse_) simhost::world().reset();
    worldInUse_ = false;
}

int LiveCockpit::port() const { return server_ ? server_->port() : 0; }
std::string LiveCockpit::pageAddress() const { return server_ ? server_->pageAddress() : std::string{}; }
std::vector<std::string> LiveCockpit::pageAddresses() const {
    return server_ ? server_->pageAddresses() : std::vector<std::string>{};
}
std::string LiveCockpit::exposureWarning() const { return server_ ? server_->exposureWarning() : std::string{}; }
std::uint64_t LiveCockpit::steps() const { return flight_ ? flight_->steps() : 0; }
std::uint64_t LiveCockpit::heldEvents() const { return flight_ ? flight_->heldEvents() : 0; }

}  // namespace zolksim::cockpit
