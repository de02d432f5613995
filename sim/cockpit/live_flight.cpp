#include "sim/cockpit/live_flight.h"

#include <algorithm>
#include <filesystem>

#include "host/world/names.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/pictures/orbit_track.h"

namespace zolksim::cockpit {

namespace {

constexpr std::size_t kMaxDisplays = 4;
constexpr int kClockCheckSteps = 64;  // steps between looks at the wall clock
// Further behind than this many wall seconds of warp and the debt is
// forgiven: the cockpit runs as fast as it can instead of racing to catch up.
constexpr double kMaxLagSeconds = 0.25;

CommandResult done(std::string message) { return {Outcome::Done, std::move(message)}; }
CommandResult impossible(std::string message) { return {Outcome::Impossible, std::move(message)}; }

}  // namespace

LiveFlight::LiveFlight(CommandQueue& queue, FrameBoard& board, LiveSettings settings)
    : queue_(queue), board_(board), settings_(std::move(settings)) {
    clock_.running = settings_.running;
    clock_.warp = settings_.warp;
}

LiveFlight::~LiveFlight() { stop(); }

void LiveFlight::start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { loop(); });
}

void LiveFlight::stop() {
    queue_.close();
    if (thread_.joinable()) thread_.join();
}

void LiveFlight::reanchor() {
    anchorWall_ = Clock::now();
    anchorSim_ = simhost::world().simTime();
}

void LiveFlight::loop() {
    reanchor();
    rateSince_ = anchorWall_;
    publish();
    Clock::time_point nextFrame = Clock::now() + kFramePeriod;
    while (!queue_.closed()) {
        // Commands are answered only once a frame showing what they did is
        // out, so a browser that reads the frame after the answer sees it.
        std::vector<PendingCommand> batch = queue_.drain();
        if (!batch.empty()) {
            std::vector<CommandResult> results;
            for (const PendingCommand& pending : batch) results.push_back(carryOut(pending.command));
            publish();
            for (std::size_t i = 0; i < batch.size(); ++i) batch[i].result.set_value(std::move(results[i]));
        }
        if (clock_.running) {
            fly(nextFrame);
            if (Clock::now() >= nextFrame) {
                deliverHeldButtons();
                publish();
                nextFrame = std::max(nextFrame + kFramePeriod, Clock::now());
                continue;
            }
        }
        // Running: until the next frame is due, or a command comes. Paused: until a command comes.
        queue_.waitUntil(clock_.running ? nextFrame : Clock::now() + std::chrono::hours(1));
        if (!clock_.running) nextFrame = Clock::now() + kFramePeriod;
    }
}

void LiveFlight::fly(Clock::time_point deadline) {
    simhost::World& world = simhost::world();
    const auto now = Clock::now();
    const double wanted = anchorSim_ + clock_.warp * std::chrono::duration<double>(now - anchorWall_).count();
    int sinceCheck = 0;
    while (world.simTime() + settings_.step <= wanted) {
        world.step(settings_.step);
        steps_.fetch_add(1, std::memory_order_relaxed);
        ++rateSteps_;
        if (++sinceCheck == kClockCheckSteps) {
            sinceCheck = 0;
            if (Clock::now() >= deadline) break;
        }
    }
    const double lag = wanted - world.simTime();
    clock_.behind = lag > clock_.warp * kMaxLagSeconds && lag > settings_.step;
    if (clock_.behind) reanchor();
}

void LiveFlight::deliverHeldButtons() {
    // The host tells a display every frame that a button is still held down.
    for (const auto& [position, index] : heldButtons_)
        if (simhost::Display* display = simhost::world().cockpit().display(position)) {
            display->pressButton(index, kMousePressed);
            heldEvents_.fetch_add(1, std::memory_order_relaxed);
        }
}

void LiveFlight::publish() {
    simhost::World& world = simhost::world();
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - rateSince_).count();
    if (seconds >= 1.0 || !clock_.running) {
        clock_.stepsPerSecond = clock_.running && seconds > 0.0 ? static_cast<double>(rateSteps_) / seconds : 0.0;
        rateSteps_ = 0;
        rateSince_ = now;
    }
    // A chart sample for each frame that moved the time on (and the first),
    // of what the page works on; another vessel or body starts the chart afresh.
    const PageSubject subject = pageSubject(world);
    if (subject.label() != chartOf_) {
        chartOf_ = subject.label();
        board_.resetHistory();
        sampledYet_ = false;
    }
    std::string sample;
    if ((world.simTime() != lastSampled_ || !sampledYet_) && subject.vessel && subject.body) {
        std::string offered = chartSample(*subject.vessel, *subject.body, world.simTime());
        lastSampled_ = world.simTime();
        sampledYet_ = true;
        if (!offered.empty() && board_.offerSample(offered)) sample = std::move(offered);
    }
    board_.publish(frameJson(world, clock_, subject, sample, saved_));
}

CommandResult LiveFlight::carryOut(const Command& c) {
    simhost::Cockpit& cockpit = simhost::world().cockpit();
    switch (c.kind) {
    case CommandKind::Key: {
        simhost::Display* display = cockpit.display(c.display);
        if (!display || !display->object()) return impossible("no display " + c.display + " is open");
        return done(display->pressKey(c.key) ? "key taken" : "the display ignored the key");
    }
    case CommandKind::Button: {
        simhost::Display* display = cockpit.display(c.display);
        if (!display || !display->object()) return impossible("no display " + c.display + " is open");
        const auto held = std::find(heldButtons_.begin(), heldButtons_.end(), std::make_pair(display->position(), c.button));
        if (c.event == kMouseDown && held == heldButtons_.end()) heldButtons_.emplace_back(display->position(), c.button);
        if (c.event == kMouseUp && held != heldButtons_.end()) heldButtons_.erase(held);
        return done(display->pressButton(c.button, c.event) ? "button taken" : "the display ignored the button");
    }
    case CommandKind::Type: {
        const simhost::InputBox* box = cockpit.currentInputBox();
        if (!box) return impossible("no input box is open");
        const std::string title = box->title;
        if (cockpit.answerInputBox(c.text) == simhost::InputBoxAnswer::Refused)
            return {Outcome::Refused, "\"" + c.text + "\" was not accepted by \"" + title + "\"; the box stays open"};
        return done("accepted by \"" + title + "\"");
    }
    case CommandKind::Cancel:
        return cockpit.cancelInputBox() ? done("input box closed") : impossible("no input box is open");
    case CommandKind::Run:
        clock_.running = true;
        reanchor();
        return done("running");
    case CommandKind::Pause:
        clock_.running = false;
        return done("paused");
    case CommandKind::Step:
        if (clock_.running) return impossible("a single step is taken while paused");
        simhost::world().step(settings_.step);
        steps_.fetch_add(1, std::memory_order_relaxed);
        return done("one step taken");
    case CommandKind::Warp:
        clock_.warp = c.warp;
        reanchor();
        return done("time acceleration set");
    case CommandKind::Save:
        return save(c.text);
    case CommandKind::Open:
        if (cockpit.display(c.display)) return impossible("display " + c.display + " is open already");
        if (cockpit.displays().size() >= kMaxDisplays) return impossible("the cockpit has no room for another display");
        if (!cockpit.openDisplay(c.display, "ZOLKMFD")) {
            cockpit.closeDisplay(c.display);
            return impossible("the page could not be opened");
        }
        return done("display " + c.display + " open");
    case CommandKind::Close:
        if (!cockpit.display(c.display)) return impossible("no display " + c.display + " is open");
        heldButtons_.erase(std::remove_if(heldButtons_.begin(), heldButtons_.end(),
                                          [&](const auto& held) { return simhost::sameName(held.first, c.display); }),
                           heldButtons_.end());
        cockpit.closeDisplay(c.display);
        return done("display " + c.display + " closed");
    }
    return impossible("unknown command");
}

CommandResult LiveFlight::save(const std::string& name) {
    std::error_code ignored;
    std::filesystem::create_directories(settings_.outDir, ignored);
    const std::string path = (std::filesystem::path(settings_.outDir) / name).string();
    const bool replacing = std::filesystem::exists(path, ignored);
    std::string error;
    if (!simhost::saveScenarioFile(path, error, settings_.description)) return impossible(error);
    saved_ = path;
    return done("saved to " + path + (replacing ? ", replacing the file of that name" : ""));
}

}  // namespace zolksim::cockpit
