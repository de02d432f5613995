// Cost of the display page's regular work: drawing the page onto the host's
// recording surface, and a scenario save and load of its status block.
// Run: build/default/bin/display_bench
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "frame/plugin_state.h"
#include "host/scenario/scenario_file.h"
#include "host/scenario/scenario_io.h"
#include "host/world/world.h"
#include "mfd/mode_registration.h"
#include "mfd/zolk_mfd.h"

namespace {

// A two-thruster tug in the built-in system with the page open on it.
simhost::Display& openPage() {
    simhost::World& w = simhost::world();
    w.reset();
    resetPluginState();
    w.addBuiltInBodies();
    simhost::Vessel& tug = *w.addVessel("Bench Tug");
    tug.emptyMass = 1000.0;
    simhost::Propellant* tank = tug.addPropellant(400, 400);
    for (int i = 0; i < 2; ++i) tug.addToGroup(THGROUP_MAIN, tug.addThruster(vec3(0, 0, -1), vec3(0, 0, 1), 2.0, 30000.0, tank));
    w.setFocus(&tug);
    InitModule(nullptr);
    pluginState.attitudeHold = 1;
    pluginState.maxAccPerDay = 246.857142857;
    pluginState.mainDeltaV = 10094.167098;
    return *w.cockpit().openDisplay("Left", kModeName);
}

// A redraw: the surface cleared, then Update. The figure includes the host's
// recording of every text (a string per text); Update itself allocates nothing.
void BM_PageUpdate(benchmark::State& state) {
    simhost::Display& display = openPage();
    for (auto _ : state) benchmark::DoNotOptimize(display.redraw().texts.data());
    state.counters["texts"] = static_cast<double>(display.surface().texts.size());
}
BENCHMARK(BM_PageUpdate);

void BM_StatusWriteAndRead(benchmark::State& state) {
    simhost::Display& display = openPage();
    ZolkMFD& page = *static_cast<ZolkMFD*>(display.object());
    for (auto _ : state) {
        simhost::ScenarioWriter writer;
        page.WriteStatus(writer.handle());
        simhost::ScenarioReader reader(writer.lines());
        page.ReadStatus(reader.handle());
    }
}
BENCHMARK(BM_StatusWriteAndRead);

void BM_ScenarioSaveAndLoad(benchmark::State& state) {
    openPage();
    const std::string text = simhost::saveScenarioText();
    for (auto _ : state) {
        const simhost::ScenarioLoad load = simhost::loadScenarioText(text, "bench.scn");
        benchmark::DoNotOptimize(load.ok);
        benchmark::DoNotOptimize(simhost::saveScenarioText().size());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ScenarioSaveAndLoad);

}  // namespace

BENCHMARK_MAIN();
