// The page's settings in a scenario: written when the host saves, restored when
// it opens the display from a saved scenario. Names are written with their
// spaces as underscores, so that each is one token on its line.
#include <cmath>

#include "engine/main_engine.h"
#include "frame/plugin_state.h"
#include "mfd/name_text.h"
#include "mfd/status_line.h"
#include "mfd/zolk_mfd.h"

namespace {

void writeName(FILEHANDLE scn, const char* key, const char (&name)[kNameLength]) {
    char token[kNameLength];
    copyName(token, name);
    replaceChars(token, ' ', '_');
    oapiWriteScenario_string(scn, key, token);
}

// Thrust and specific impulse from a file are applied only as real amounts.
bool applicable(double value) { return std::isfinite(value) && value >= 0.0; }

}  // namespace

void ZolkMFD::WriteStatus(FILEHANDLE scn) const {
    const PluginState& s = pluginState;
    oapiWriteScenario_int(scn, "ATT", s.attitudeHold);
    oapiWriteScenario_int(scn, "ABP", s.autoBurn);
    oapiWriteScenario_float(scn, "MOT", s.totalThrust);
    oapiWriteScenario_float(scn, "ISP", s.mainIsp);
    writeName(scn, "RBD", s.refName);
    writeName(scn, "VES", s.vesselName);
}

void ZolkMFD::ReadStatus(FILEHANDLE scn) {
    PluginState& s = pluginState;
    StatusRead read;
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) readStatusLine(line, read);

    // Spaces come back first, so that the engines are applied to the vessel
    // that the name really names.
    replaceChars(s.refName, '_', ' ');
    replaceChars(s.vesselName, '_', ' ');

    // An exact comparison: a NaN on either side counts as a difference.
    if (read.thrustRead && applicable(s.statusMot) && s.statusMot != s.totalThrust) applyTotalThrust(s.statusMot);
    if (read.ispRead && applicable(s.statusIsp) && s.statusIsp != s.mainIsp) applyIsp(s.statusIsp);
}
