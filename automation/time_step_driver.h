// The module's per-step entry point, called by the host on every simulation step.
#pragma once

#include "frame/host_compat.h"

// Renews the reference body from refName, then runs the attitude hold, the
// periapsis burn and the performance figures, in that order, each when its
// switch is exactly 1 (the figures always) and the body exists. Without the body
// a running hold switches itself off. The host's time values are not needed.
DLLCLBK void opcPreStep(double simt, double simdt, double mjd);
