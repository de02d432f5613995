// A case's values by name, as the Python package takes them: the names of a
// study's [sample] table (thrust, isp, ..., thrust_error, pointing, ...), put
// into a one-case study and a flight dispersion.
#pragma once

#include <map>
#include <string>

#include "sim/sample/flight_dispersion.h"
#include "sim/sweep/study.h"

namespace zolksim {

// pointing_azimuth (deg) goes with pointing (deg). False with the reason in
// error for a name that is none of these.
bool putFlightValues(const std::map<std::string, double>& values, Study& study, FlightDispersion& dispersion,
                     std::string& error);

}  // namespace zolksim
