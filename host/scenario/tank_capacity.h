// A tank holds at most its capacity. More propellant than that is a mistake in
// what was read (a scenario's TANK line, a study's propellant), refused there
// rather than flown: a run would burn mass the vessel cannot carry.
#pragma once

#include <string>

#include "host/scenario/scenario_text.h"
#include "host/world/vessel.h"

namespace simhost {

// Masses in kg. A NaN mass does not fit.
inline bool fitsInTank(double capacity, double mass) { return mass <= capacity; }

// What to say when it does not: "5000 kg of propellant is more than the tank's
// capacity of 400 kg".
inline std::string overfilledTankText(double capacity, double mass) {
    return joined(numberText(mass), " kg of propellant is more than the tank's capacity of ", numberText(capacity),
                  " kg");
}

// The capacity of all of a vessel's tanks together, kg.
inline double tankCapacityOf(const Vessel& vessel) {
    double capacity = 0.0;
    for (const auto& tank : vessel.propellants) capacity += tank->maxMass;
    return capacity;
}

}  // namespace simhost
