// The live cockpit on the default mission: simulated steps per wall second at
// 100,000x while frames stream to a browser-like reader, set against the
// headless runner's flight loop measured in the same run (the ratio says what
// share of the machine's pace the cockpit needs), the frames per second
// delivered and their size; the processor time a paused cockpit takes; and a
// command's round trip on a kept-alive connection (median and 99th percentile).
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <vector>
#include <chrono>
#include <string>
#include <thread>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/cockpit/live_cockpit.h"
#include "sim/run/default_mission.h"
#include "sim/run/flight.h"
#include "sim/pictures/orbit_track.h"
#include "sim/pilot/pilot.h"
#include "sim/run/progress_bar.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWatch = std::chrono::seconds(5);  // wall time the cockpit is watched

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The headless runner's flight loop over one simulated day: steps per wall second.
double headlessStepsPerSecond() {
    simhost::World& world = simhost::world();
    world.reset();
    std::string error;
    if (!world.modules().load(ZOLK_MODULE_PATH, error)) return 0.0;
    if (!simhost::loadScenarioText(zolksim::kDefaultMissionText, "ion-tug.scn").ok) return 0.0;
    simhost::Vessel& tug = *world.focus();
    zolksim::Flight flight(86400.0, 1.0);
    zolksim::OrbitTrack track = zolksim::OrbitTrack::forRun(tug, *zolksim::dominantBodyOf(tug), flight.stepCount(), 86400.0);
    zolksim::Pilot pilot({}, [](const std::string&) { return std::string{}; });
    zolksim::ProgressBar progress(stderr, false, 86400.0);
    const auto start = Clock::now();
    flight.fly(pilot, track, progress, nullptr);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    world.reset();
    return static_cast<double>(flight.stepCount()) / seconds;
}

// Reads the event stream for the given time; the frames and bytes it brought.
struct Watched {
    std::uint64_t frames = 0, bytes = 0;
};
Watched watch(int port, Clock::duration length) {
    Watched seen;
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(30, 0);
    const auto end = Clock::now() + length;
    std::string buffer;
    client.Get("/events", [&](const char* data, std::size_t size) {
        buffer.append(data, size);
        for (std::size_t at; (at = buffer.find("\n\n")) != std::string::npos; buffer.erase(0, at + 2))
            if (buffer.compare(0, 12, "event: frame") == 0) {
                ++seen.frames;
                seen.bytes += at;
            }
        return Clock::now() < end;
    });
    return seen;
}

zolksim::cockpit::CockpitOptions benchOptions(bool running) {
    zolksim::cockpit::CockpitOptions options;
    options.modulePath = ZOLK_MODULE_PATH;
    options.port = 0;
    options.running = running;
    options.warp = 100000.0;
    options.outDir = "/tmp/zolk-cockpit-bench";
    return options;
}

bool opened(zolksim::cockpit::LiveCockpit& live, benchmark::State& state) {
    std::string error, warnings;
    if (live.open(error, warnings) == 0) return true;
    state.SkipWithError(error.c_str());
    return false;
}

void BM_CockpitAt100000x(benchmark::State& state) {
    for (auto _ : state) {
        zolksim::cockpit::LiveCockpit live(benchOptions(true));
        if (!opened(live, state)) return;
        const auto start = Clock::now();
        const std::uint64_t stepsBefore = live.steps();
        const Watched seen = watch(live.port(), kWatch);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double live_rate = static_cast<double>(live.steps() - stepsBefore) / seconds;
        live.close();
        const double headless = headlessStepsPerSecond();
        state.counters["live_steps/s"] = live_rate;
        state.counters["pace"] = live_rate / 100000.0;  // 1: the simulation keeps up with 100,000x
        state.counters["headless_steps/s"] = headless;
        state.counters["live/headless"] = headless > 0.0 ? live_rate / headless : 0.0;
        state.counters["frames/s"] = static_cast<double>(seen.frames) / seconds;
        state.counters["frame_bytes"] = seen.frames ? static_cast<double>(seen.bytes) / static_cast<double>(seen.frames) : 0.0;
    }
}
BENCHMARK(BM_CockpitAt100000x)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Paused with a browser watching: the share of one core the process takes.
void BM_CockpitPaused(benchmark::State& state) {
    for (auto _ : state) {
        zolksim::cockpit::LiveCockpit live(benchOptions(false));
        if (!opened(live, state)) return;
        // Paused, frames come only after commands: the stream stays open until the close.
        std::thread watcher([&] { watch(live.port(), std::chrono::hours(1)); });
        const double cpuBefore = processorSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(kWatch);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.counters["cpu_share"] = (processorSeconds() - cpuBefore) / seconds;
        live.close();
        watcher.join();
    }
}
BENCHMARK(BM_CockpitPaused)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A browser's commands, one after another on one kept-alive connection, to a
// paused cockpit: each is carried out and answered once its frame is out.
void BM_CockpitCommandLatency(benchmark::State& state) {
    constexpr int kCommands = 1000;
    for (auto _ : state) {
        zolksim::cockpit::LiveCockpit live(benchOptions(false));
        if (!opened(live, state)) return;
        httplib::Client client("127.0.0.1", live.port());
        client.set_tcp_nodelay(true);  // as browsers do: the delay measured is the server's
        client.set_keep_alive(true);
        std::vector<double> ms;
        ms.reserve(kCommands);
        for (int i = 0; i < kCommands; ++i) {
            const auto start = Clock::now();
            const auto res = client.Post("/command", R"({"do":"pause"})", "application/json");
            if (!res || res->status != 200) {
                state.SkipWithError("a command failed");
                return;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        live.close();
        std::sort(ms.begin(), ms.end());
        state.counters["command_p50_ms"] = ms[ms.size() / 2];
        state.counters["command_p99_ms"] = ms[ms.size() * 99 / 100];
    }
}
BENCHMARK(BM_CockpitCommandLatency)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
