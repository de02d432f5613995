// A study file's [sample] table read into a SamplePlan (docs/dispersion.md).
#pragma once

#include <string>
#include <toml++/toml.h>

#include "sim/sample/sample_plan.h"

namespace zolksim {

// False with the reason in error.
bool readSamplePlan(const toml::table& table, SamplePlan& plan, std::string& error);

}  // namespace zolksim
