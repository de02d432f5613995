#include "engine/engine_entry.h"

#include <cmath>
#include <cstdio>

#include "engine/main_engine.h"
#include "frame/plugin_state.h"

bool parseEngineEntry(const char* text, float& value) {
    if (!text) return false;
    float parsed = 0.0f;
    if (std::sscanf(text, "%f", &parsed) != 1) return false;
    // Overflow parses as infinity and is refused with it.
    if (!std::isfinite(parsed) || parsed < 0.0f) return false;
    value = parsed;
    return true;
}

bool onThrustEntered(void*, char* text, void*) {
    if (!parseEngineEntry(text, pluginState.thrustEntry)) return false;
    applyTotalThrust(static_cast<double>(pluginState.thrustEntry));
    return true;
}

bool onIspEntered(void*, char* text, void*) {
    if (!parseEngineEntry(text, pluginState.ispEntry)) return false;
    applyIsp(static_cast<double>(pluginState.ispEntry));
    return true;
}
