#include "sim/sweep/tank_capacity.h"

#include <cstdio>

namespace zolksim {

std::string propellantOverCapacityText(double propellantKg, double capacityKg) {
    char text[128];
    std::snprintf(text, sizeof text, "propellant %.10g kg is more than the tanks hold (%.10g kg)", propellantKg,
                  capacityKg);
    return text;
}

}  // namespace zolksim
