// The page's settings in a scenario: written when the host saves, restored when
// it opens the display from a saved scenario. Names are written with their
// spaces as underscores, so that each is one token on its line.
//
// The host hands ReadStatus the scenario itself, positioned after the block's
// MODE line, and its line reader does not stop at the block's END_MFD: the
// reading stops there itself, as the host's own display modes do, or it would
// take over the blocks and lines that follow.
#include <cmath>

#include "engine/main_engine.h"
#include "frame/plugin_state.h"
#include "mfd/name_text.h"
#include "mfd/status_line.h"
#include "mfd/zolk_mfd.h"

namespace {

// The items' keys. The host's writers take them as char* and only read them.
char attKey[] = "ATT";
char abpKey[] = "ABP";
char motKey[] = "MOT";
char ispKey[] = "ISP";
char rbdKey[] = "RBD";
char vesKey[] = "VES";

void writeName(FILEHANDLE scn, char* key, const char (&name)[kNameLength]) {
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
    oapiWriteScenario_int(scn, attKey, s.attitudeHold);
    oapiWriteScenario_int(scn, abpKey, s.autoBurn);
    oapiWriteScenario_float(scn, motKey, s.totalThrust);
    oapiWriteScenario_float(scn, ispKey, s.mainIsp);
    writeName(scn, rbdKey, s.refName);
    writeName(scn, vesKey, s.vesselName);
}

void ZolkMFD::ReadStatus(FILEHANDLE scn) {
    PluginState& s = pluginState;
    StatusRead read;
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line) && !endsStatusBlock(line)) readStatusLine(line, read);

    // Spaces come back first, so that the engines are applied to the vessel
    // that the name really names.
    replaceChars(s.refName, '_', ' ');
    replaceChars(s.vesselName, '_', ' ');

    // An exact comparison: a NaN on either side counts as a difference.
    if (read.thrustRead && applicable(s.statusMot) && s.statusMot != s.totalThrust) applyTotalThrust(s.statusMot);
    if (read.ispRead && applicable(s.statusIsp) && s.statusIsp != s.mainIsp) applyIsp(s.statusIsp);
}
