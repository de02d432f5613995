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

// The flight loop as the runner flies it, over state.range(0) simulated days at 1 s.
void BM_DefaultMissionFlight(benchmark::State& state) {
    simhost::World& world = simhost::world();
    const double duration = static_cast<double>(state.range(0)) * simhost::kSecondsPerDay;
    std::uint64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        world.reset();
        std::string error;
        if (!world.modules().load(ZOLK_MODULE_PATH, error)) state.SkipWithError(error.c_str());
        if (!simhost::loadScenarioText(zolksim::kDefaultMissionText, "ion-tug.scn").ok) state.SkipWithError("scenario");
        simhost::Vessel& tug = *world.focus();
        zolksim::Flight flight(duration, 1.0);
        zolksim::OrbitTrack track = zolksim::OrbitTrack::forRun(tug, *zolksim::dominantBodyOf(tug), flight.stepCount(), duration);
        zolksim::Pilot pilot({}, [](const std::string&) { return std::string{}; });
        zolksim::ProgressBar progress(stderr, false, duration);
        state.ResumeTiming();
        flight.fly(pilot, track, progress, nullptr);
        steps += flight.stepCount();
    }
    world.reset();
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = peakMemoryMiB();
}
// Ten days, the default mission; and a year (31.5 million steps), which must
// keep the ten days' rate per step and not grow in memory.
BENCHMARK(BM_DefaultMissionFlight)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DefaultMissionFlight)->Arg(365)->Unit(benchmark::kMillisecond)->Iterations(1);

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
