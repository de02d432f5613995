#include "automation/time_step_driver.h"

#include "automation/attitude_hold.h"
#include "automation/auto_burn.h"
#include "automation/performance_figures.h"
#include "frame/plugin_state.h"

DLLCLBK void opcPreStep(double, double, double) {
    PluginState& s = pluginState;
    s.refBody = oapiGetObjectByName(s.refName);

    if (s.attitudeHold == 1) {
        if (!s.refBody)
            s.attitudeHold = 0;
        else
            updateAttitudeHold();
    }
    if (s.autoBurn == 1) {
        if (!s.refBody) return;
        updateAutoBurn();
    }
    if (s.refBody) updatePerformanceFigures();
}
