// A study file's [sample] table read into a SampleSpec (docs/dispersion.md).
#pragma once

#include <string>
#include <toml++/toml.h>

#include "sim/sample/sample_spec.h"

namespace zolksim {

// False with the reason in error.
bool readSampleSpec(const toml::table& table, SampleSpec& spec, std::string& error);

}  // namespace zolksim
