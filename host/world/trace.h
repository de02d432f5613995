// The host's call trace: when switched on, every host API call is recorded as
// "Name(arg, arg, ...)" in call order, so tests can check order and counts.
// Off by default; while off, a call costs one test of a flag.
#pragma once

#include <string>
#include <vector>

#include "frame/host_api.h"

namespace simhost {

OAPIFUNC void setTraceEnabled(bool on);
OAPIFUNC bool traceEnabled();
OAPIFUNC const std::vector<std::string>& traceEntries();
OAPIFUNC void clearTrace();
// How many recorded entries start with the given call name.
OAPIFUNC int traceCount(const std::string& callName);

}  // namespace simhost
