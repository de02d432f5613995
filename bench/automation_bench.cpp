// Per-step cost of the module's automation and of the host's step, with and
// without the module loaded. Run: build/default/bin/automation_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>

#include "automation/time_step_driver.h"
#include "frame/plugin_state.h"
#include "host/physics/physical_constants.h"
#include "host/world/trace.h"
#include "host/world/world.h"

namespace {

constexpr double kEarthRadius = simhost::kRadiusEarth;  // m

// A four-thruster tug on an elliptical Earth orbit in the built-in solar
// system, nose along its motion. Returns the vessel.
simhost::Vessel& setUpTug() {
    simhost::World& w = simhost::world();
    w.reset();
    w.addBuiltInBodies();
    simhost::setTraceEnabled(false);
    simhost::Vessel& tug = *w.addVessel("Bench Tug");
    tug.emptyMass = 4000.0;
    simhost::Propellant* tanks[] = {tug.addPropellant(500, 500), tug.addPropellant(500, 500)};
    for (int i = 0; i < 4; ++i) {
        simhost::Thruster* th = tug.addThruster(vec3(0, 0, -1), vec3(0, 0, 1), 5.0, 30000.0, tanks[i % 2]);
        tug.addToGroup(THGROUP_MAIN, th);
    }
    const simhost::Body& earth = *w.findBody("Earth");
    const double rp = kEarthRadius + 400e3, ra = kEarthRadius + 2000e3;
    const double e = (ra - rp) / (ra + rp), p = rp * (1 + e), nu = 0.3;
    const double r = p / (1 + e * std::cos(nu)), scale = std::sqrt(earth.gm / p);
    tug.pos = earth.state.pos + vec3(r * std::cos(nu), r * std::sin(nu), 0);
    tug.vel = earth.state.vel + vec3(-scale * std::sin(nu), scale * (e + std::cos(nu)), 0);
    w.setFocus(&tug);
    return tug;
}

void configure(PluginState& s) {
    std::strcpy(s.vesselName, "Bench Tug");
    std::strcpy(s.refName, "Earth");
    s.attitudeHold = 1;
    s.autoBurn = 1;
    s.totalThrust = 20.0;
    s.mainIsp = 30000.0;
}

// The three blocks (hold, burn, figures) of one step, called directly.
void BM_ModulePreStep(benchmark::State& state) {
    setUpTug();
    resetPluginState();
    configure(pluginState);
    double t = 0.0;
    for (auto _ : state) {
        opcPreStep(t, 1.0, simhost::kJ2000Mjd);
        t += 1.0;
    }
    benchmark::DoNotOptimize(pluginState.mainDeltaV);
    simhost::world().reset();
}
BENCHMARK(BM_ModulePreStep);

// The host's side of the orbit the auto-burn asks for every step: osculating
// elements and parameters of the tug's elliptic orbit about Earth.
void BM_HostGetElements(benchmark::State& state) {
    simhost::Vessel& tug = setUpTug();
    const OBJHANDLE earth = simhost::world().findBody("Earth");
    ELEMENTS el{};
    ORBITPARAM prm{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tug.vesselInterface().GetElements(earth, el, &prm, 0.0, FRAME_ECL));
        benchmark::ClobberMemory();
    }
    simhost::world().reset();
}
BENCHMARK(BM_HostGetElements);

// The host's whole step (gravity of four bodies, thrust, ephemeris) with no module.
void BM_HostStepBare(benchmark::State& state) {
    simhost::Vessel& tug = setUpTug();
    tug.vesselInterface().SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
    for (auto _ : state) simhost::world().step(1.0);
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    simhost::world().reset();
}
BENCHMARK(BM_HostStepBare);

// The same step with the module loaded through the host's loader and all three blocks on.
void BM_HostStepWithModule(benchmark::State& state) {
    setUpTug();
    std::string error;
    simhost::LoadedModule* module = simhost::world().modules().load(ZOLK_PROBE_PATH, error);
    if (!module) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto probeState = reinterpret_cast<PluginState* (*)()>(simhost::world().modules().entryPoint(*module, "zolkProbeState"));
    configure(*probeState());
    for (auto _ : state) simhost::world().step(1.0);
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    simhost::world().reset();
}
BENCHMARK(BM_HostStepWithModule);

}  // namespace

BENCHMARK_MAIN();
