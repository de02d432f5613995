// The one rule for propellant against a vessel's tanks, for every place that
// sets or checks a load: a study's cases now, a scenario's check as well.
#pragma once

#include <string>

namespace zolksim {

// Whether propellantKg fits tanks holding capacityKg in all. A relative
// allowance of 1e-12 forgives a sum's rounding, not a real excess.
inline bool propellantFits(double propellantKg, double capacityKg) {
    return propellantKg <= capacityKg * (1.0 + 1e-12);
}

// "propellant 5000 kg is more than the tanks hold (400 kg)"
std::string propellantOverCapacityText(double propellantKg, double capacityKg);

}  // namespace zolksim
