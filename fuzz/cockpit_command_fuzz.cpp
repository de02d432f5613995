// What a browser posts to the live cockpit. The input is one request's Host,
// Origin and Content-Type lines, then one command body a line. Any bytes must
// give either a refusal (a 4xx status with a reason, the command left as it
// was) or a command that, carried out on the default mission with the page
// open, leaves every vessel state finite, thruster levels within [0, 1] and
// the page's texts bounded.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/scenario/scenario_description.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "mfd/mode_registration.h"
#include "sim/cockpit/command.h"
#include "sim/cockpit/request_guard.h"
#include "sim/run/default_mission.h"
#include "sim/pilot/pilot_script.h"

namespace {

using namespace zolksim::cockpit;

constexpr int kPort = 8080;
constexpr double kEarthGm = 3.986004418e14;  // m^3/s^2
constexpr double kEarthRadius = 6371000.0;   // m
constexpr std::size_t kMaxPageTexts = 200;  // a page draws a few dozen lines
constexpr std::size_t kMaxPageTextLength = 128;
constexpr std::size_t kMaxDisplays = 4;     // as the live cockpit allows

[[noreturn]] void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "cockpit_command_fuzz: %s\n%.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

struct Decision {
    int status = 200;
    std::string reason;
};

// The server's checks, in its order: body size, Host, Origin, content type, the command.
Decision decide(const RequestGuard& guard, std::string_view host, std::string_view origin,
                std::string_view contentType, std::string_view body, Command& command) {
    if (body.size() > kMaxBodyBytes) return {413, "body too large"};
    if (!guard.hostAllowed(host)) return {403, "this cockpit answers only to " + guard.pageAddress()};
    if (!origin.empty() && !guard.originAllowed(origin, host)) return {403, "commands come only from the cockpit's own page"};
    if (!isJsonContentType(contentType)) return {415, "a command is sent as application/json"};
    std::string error;
    if (!parseCommand(body, command, error)) return {400, error};
    return {};
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A Host the loopback guard lets in names a loopback address, with the port.
void checkLoopbackHost(const RequestGuard& guard, std::string_view host) {
    if (!guard.hostAllowed(host)) return;
    const std::string name = lowered(host);
    if (name != "127.0.0.1:8080" && name != "localhost:8080" && name != "[::1]:8080")
        broken("the loopback cockpit let in a foreign host", host);
}

void checkAccepted(const Command& c, std::string_view body) {
    switch (c.kind) {
    case CommandKind::Key:
    case CommandKind::Button:
    case CommandKind::Open:
    case CommandKind::Close:
        if (c.display.size() > 32 || !zolksim::plainFileName(c.display))
            broken("an accepted display position out of bounds", body);
        if (c.kind == CommandKind::Button && (c.button < 0 || c.button > 11 || (c.event != kMouseDown && c.event != kMouseUp)))
            broken("an accepted button out of bounds", body);
        break;
    case CommandKind::Type:
        if (c.text.size() > zolksim::kMaxTypedLength || zolksim::hasControlCharacter(c.text))
            broken("accepted typed text out of bounds", body);
        break;
    case CommandKind::Save:
        if (!zolksim::plainFileName(c.text) || c.text.find('/') != std::string::npos || c.text == "." || c.text == "..")
            broken("an accepted save name that is no plain file name", body);
        break;
    case CommandKind::Warp:
        if (!(c.warp >= 1.0 && c.warp <= 100000.0)) broken("an accepted warp out of range", body);
        break;
    case CommandKind::Cancel:
    case CommandKind::Run:
    case CommandKind::Pause:
    case CommandKind::Step:
        break;
    }
}

// What the simulation thread does with the commands that reach the world; the
// clock's commands (run, pause, warp) only set the pace and a save writes the
// scene's text, so here they leave the world as it is.
void carryOut(const Command& c) {
    simhost::Cockpit& cockpit = simhost::world().cockpit();
    switch (c.kind) {
    case CommandKind::Key:
        if (simhost::Display* display = cockpit.display(c.display)) display->pressKey(c.key);
        break;
    case CommandKind::Button:
        if (simhost::Display* display = cockpit.display(c.display)) display->pressButton(c.button, c.event);
        break;
    case CommandKind::Type:
        cockpit.answerInputBox(c.text);
        break;
    case CommandKind::Cancel:
        cockpit.cancelInputBox();
        break;
    case CommandKind::Open:
        if (!cockpit.display(c.display) && cockpit.displays().size() < kMaxDisplays &&
            !cockpit.openDisplay(c.display, "ZOLKMFD"))
            cockpit.closeDisplay(c.display);
        break;
    case CommandKind::Close:
        cockpit.closeDisplay(c.display);
        break;
    case CommandKind::Save:
        if (simhost::saveScenarioText().empty()) broken("a save wrote nothing");
        break;
    case CommandKind::Run:
    case CommandKind::Pause:
    case CommandKind::Step:
    case CommandKind::Warp:
        break;
    }
}

bool finite(const VECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void checkWorld(std::string_view body) {
    simhost::World& world = simhost::world();
    for (const auto& vessel : world.vessels()) {
        if (!finite(vessel->pos) || !finite(vessel->vel) || !finite(vessel->angVel))
            broken("a vessel state is not finite", body);
        for (const auto& thruster : vessel->thrusters)
            if (!(thruster->level >= 0.0 && thruster->level <= 1.0)) broken("a thruster level outside [0, 1]", body);
    }
    for (const auto& display : world.cockpit().displays()) {
        if (!display->object()) continue;
        const simhost::PageRecord& page = display->redraw();
        if (page.texts.size() > kMaxPageTexts) broken("a page drew too many texts", body);
        for (const simhost::TextItem& item : page.texts)
            if (item.text.size() > kMaxPageTextLength) broken("a page text too long", item.text);
    }
}

std::vector<std::string_view> lines(std::string_view input) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t end; (end = input.find('\n', start)) != std::string_view::npos; start = end + 1)
        out.push_back(input.substr(start, end - start));
    out.push_back(input.substr(start));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool loaded = [] {
        InitModule(nullptr);
        return true;
    }();
    (void)loaded;
    static const RequestGuard loopback({"127.0.0.1", kPort, {}, {}});
    static const RequestGuard everywhere({"0.0.0.0", kPort, {}, {}});

    std::vector<std::string_view> input = lines({reinterpret_cast<const char*>(data), size});
    if (input.size() < 4) return 0;
    const std::string_view host = input[0], origin = input[1], contentType = input[2];
    checkLoopbackHost(loopback, host);
    if (everywhere.hostAllowed(host) && host.substr(host.size() - 5) != ":8080")
        broken("a host without the cockpit's port let in", host);

    // The mission is read once; each input starts from it afresh without
    // reading it again, about an Earth fixed alone at the origin: the commands
    // are what is tried here, and the planets' ephemeris, fitted anew for every
    // fresh world, would cost most of each run.
    static const simhost::ScenarioDescription mission = [] {
        simhost::ScenarioDescription parsed;
        std::vector<simhost::ScenarioMessage> warnings;
        simhost::ScenarioMessage error;
        if (!simhost::parseScenario(zolksim::kDefaultMissionText, "default", parsed, warnings, error))
            broken("the default mission does not load");
        parsed.hasBodies = true;
        parsed.bodies = {simhost::ScenarioBody{0, "Earth", kEarthGm, kEarthRadius, "", {}, 0.0}};
        return parsed;
    }();
    std::vector<simhost::ScenarioMessage> warnings;
    simhost::applyScenario(mission, "default", warnings);
    for (std::size_t i = 3; i < input.size(); ++i) {
        const std::string_view body = input[i];
        Command command;
        command.display = "untouched";
        const Decision decision = decide(loopback, host, origin, contentType, body, command);
        if (decision.status != 200) {
            if (decision.status < 400 || decision.status > 499 || decision.reason.empty())
                broken("a refusal without a 4xx status and a reason", body);
            if (command.kind != CommandKind::Key || command.display != "untouched" || !command.text.empty())
                broken("a refused command was changed", body);
            continue;
        }
        checkAccepted(command, body);
        carryOut(command);
        simhost::world().step(1.0);
        checkWorld(body);
    }
    return 0;
}
