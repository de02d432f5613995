#include "frame/plugin_state.h"

PluginState pluginState{};

void resetPluginState() { pluginState = PluginState{}; }
