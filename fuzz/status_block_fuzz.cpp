// A display's scenario status block with arbitrary lines, read by a display
// object as the host hands them over, then written back and read again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_world.h"
#include "host/scenario/scenario_io.h"
#include "mfd/zolk_mfd.h"

namespace {

std::vector<std::string> linesOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    }
    return lines;
}

bool terminated(const char (&name)[kNameLength]) { return std::memchr(name, '\0', kNameLength) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetFuzzWorld();
    ZolkMFD display(simhost::kDefaultDisplayWidth, simhost::kDefaultDisplayHeight, nullptr);
    {
        simhost::ScenarioReader reader(linesOf(data, size));
        display.ReadStatus(reader.handle());
    }
    const PluginState& s = pluginState;
    if (!terminated(s.refName) || !terminated(s.vesselName)) std::abort();
    // Thrusters only ever take real amounts from a file.
    for (const auto& thruster : simhost::world().findVessel("Ion Tug")->thrusters)
        if (!std::isfinite(thruster->max0) || thruster->max0 < 0 || !std::isfinite(thruster->isp) || thruster->isp < 0)
            std::abort();

    // What is written reads back to the same switches and names.
    const PluginState before = s;
    simhost::ScenarioWriter writer;
    display.WriteStatus(writer.handle());
    simhost::ScenarioReader again(writer.lines());
    display.ReadStatus(again.handle());
    if (s.attitudeHold != before.attitudeHold || s.autoBurn != before.autoBurn ||
        std::strcmp(s.refName, before.refName) != 0 || std::strcmp(s.vesselName, before.vesselName) != 0)
        std::abort();
    return 0;
}
