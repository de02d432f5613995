#include "mfd/name_entry.h"

#include "engine/main_engine.h"
#include "frame/plugin_state.h"
#include "mfd/name_text.h"
#include "mfd/zolk_mfd.h"

bool onRefBodyEntered(void* /*box*/, char* text, void* /*userData*/) {
    if (!fitsNameField(text)) return false;
    OBJHANDLE body = oapiGetGbodyByName(text);
    pluginState.refBody = body;
    if (!body) return false;
    copyName(pluginState.refName, text);
    return true;
}

// The display that opened the box may have been closed since: its address in
// userData is never used.
bool onVesselEntered(void* /*box*/, char* text, void* /*userData*/) { return selectVessel(text); }

bool selectVessel(char* name) {
    if (!fitsNameField(name)) return false;
    if (!oapiGetVesselByName(name)) return false;
    copyName(pluginState.vesselName, name);
    readMainThrust();
    readMainIsp();
    return true;
}

bool ZolkMFD::SelectVessel(char* name) { return selectVessel(name); }
