// The default mission flown whole: simulated steps per second of the flight
// loop (module, host physics, orbit tracking), and the whole zolksim run with
// its pictures and scenario; the process's peak memory is reported with each.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "host/physics/physical_constants.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/default_mission.h"
#include "sim/run/flight.h"
#include "sim/pictures/orbit_track.h"
#include "sim/pilot/pilot.h"
#include "sim/run/progress_bar.h"
#include "sim/run/run.h"

namespace {

constexpr double kTenDays = 10 * simhost::kSecondsPerDay;  // s, the default mission's length

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

void BM_DefaultMissionFlight(benchmark::State& state) {
    simhost::World& world = simhost::world();
    std::uint64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        world.reset();
        std::string error;
        if (!world.modules().load(ZOLK_MODULE_PATH, error)) state.SkipWithError(error.c_str());
        if (!simhost::loadScenarioText(zolksim::kDefaultMissionText, "ion-tug.scn").ok) state.SkipWithError("scenario");
        simhost::Vessel& tug = *world.focus();
        zolksim::Flight flight(kTenDays, 1.0);
        zolksim::OrbitTrack track(tug, *zolksim::dominantBodyOf(tug), 216);
        zolksim::Pilot pilot({}, [](const std::string&) { return std::string{}; });
        zolksim::ProgressBar progress(stderr, false, kTenDays);
        state.ResumeTiming();
        flight.fly(pilot, track, progress, nullptr);
        steps += flight.stepCount();
    }
    world.reset();
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_DefaultMissionFlight)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DefaultMissionWholeRun(benchmark::State& state) {
    const std::string out = (std::filesystem::temp_directory_path() / "zolksim_bench_out").string();
    const char* argv[] = {"zolksim", "--quiet", "--module", ZOLK_MODULE_PATH, "--out", out.c_str()};
    for (auto _ : state) {
        std::ostringstream sink, err;
        if (zolksim::runZolksim(6, argv, sink, err) != 0) state.SkipWithError(err.str().c_str());
    }
    std::filesystem::remove_all(out);
    state.counters["steps/s"] =
        benchmark::Counter(kTenDays * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_DefaultMissionWholeRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
