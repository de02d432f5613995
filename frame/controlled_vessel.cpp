#include "frame/controlled_vessel.h"

#include "frame/plugin_state.h"

VESSEL* controlledVessel() {
    const OBJHANDLE handle = oapiGetVesselByName(pluginState.vesselName);
    if (!handle) return nullptr;
    return oapiGetVesselInterface(handle);
}
