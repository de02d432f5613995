// The four input-box callbacks with arbitrary typed text. The first byte picks
// the box; the rest is the text, terminated as the host hands it over.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/engine_entry.h"
#include "fuzz/fuzz_world.h"
#include "mfd/name_entry.h"

namespace {

// What must hold after any entry, accepted or not.
void checkRecord(bool accepted, int box) {
    const PluginState& s = pluginState;
    if (std::memchr(s.refName, '\0', sizeof s.refName) == nullptr) std::abort();
    if (std::memchr(s.vesselName, '\0', sizeof s.vesselName) == nullptr) std::abort();
    // Accepted engine entries are real amounts.
    if (accepted && box == 2 && !(std::isfinite(s.totalThrust) && s.totalThrust >= 0)) std::abort();
    if (accepted && box == 3 && !(std::isfinite(s.mainIsp) && s.mainIsp >= 0)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    resetFuzzWorld();
    const int box = data[0] % 4;
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0');
    bool accepted = false;
    switch (box) {
        case 0: accepted = onRefBodyEntered(nullptr, text.data(), nullptr); break;
        case 1: accepted = onVesselEntered(nullptr, text.data(), nullptr); break;
        case 2: accepted = onThrustEntered(nullptr, text.data(), nullptr); break;
        case 3: accepted = onIspEntered(nullptr, text.data(), nullptr); break;
    }
    checkRecord(accepted, box);
    return 0;
}
