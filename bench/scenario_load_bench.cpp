// Loading a scene of many vessels: the cost per vessel must not grow with
// their number (the names are checked against each other in sets).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"

namespace {

// n bare vessels about Earth, each named apart from the others by its number.
std::string sceneOfVessels(std::int64_t n) {
    std::string text = "BEGIN_SHIPS\n";
    for (std::int64_t i = 0; i < n; ++i)
        text += "Probe " + std::to_string(i) + "\n  EMPTY_MASS 10\n  REF Earth\n  RPOS 7e6 0 0\n  RVEL 0 7.5e3 0\nEND\n";
    return text + "END_SHIPS\n";
}

void BM_LoadSceneOfVessels(benchmark::State& state) {
    const std::string text = sceneOfVessels(state.range(0));
    for (auto _ : state) {
        if (!simhost::loadScenarioText(text, "vessels.scn").ok) state.SkipWithError("the scene does not load");
    }
    simhost::world().reset();
    state.SetComplexityN(state.range(0));
    state.counters["vessels/s"] =
        benchmark::Counter(static_cast<double>(state.range(0) * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadSceneOfVessels)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
