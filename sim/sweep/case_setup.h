// A study case's values put into the loaded world: the focus vessel's main
// engines, masses and starting orbit.
#pragma once

#include <string>
#include <vector>

#include "host/world/body.h"
#include "host/world/vessel.h"
#include "sim/sweep/study.h"

namespace zolksim {

// Sets each varied parameter but the step: thrust shared evenly by the main
// engines (N), their ISP (N s/kg), the propellant spread over the tanks in
// proportion to their capacity, raised where it must be (kg), the dry mass (kg),
// and the orbit about body with the periapsis and apoapsis altitudes given
// (km; an altitude not varied is kept). A new orbit starts at its periapsis, in
// the old orbit's plane with the old periapsis direction, and the vessel keeps
// its attitude relative to the orbit frame. False with the reason in error.
bool applyCase(const std::vector<VariedParameter>& varied, const std::vector<double>& values, simhost::Vessel& vessel,
               const simhost::Body& body, std::string& error);

}  // namespace zolksim
