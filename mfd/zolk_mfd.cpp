#include "mfd/zolk_mfd.h"

#include "engine/main_engine.h"
#include "frame/plugin_state.h"
#include "mfd/name_text.h"

ZolkMFD::ZolkMFD(DWORD width, DWORD height, VESSEL* vessel) : GraphMFD(width, height, vessel) {
    // The vessel handed in only serves the base class: the module acts on the
    // vessel named in the record, which a later display must not change.
    if (pluginState.refName[0] == '\0') copyName(pluginState.refName, "Sun");
    if (pluginState.vesselName[0] == '\0')
        oapiGetObjectName(oapiGetFocusObject(), pluginState.vesselName, kNameLength);
    readMainThrust();
    readMainIsp();
}

ZolkMFD::~ZolkMFD() = default;
