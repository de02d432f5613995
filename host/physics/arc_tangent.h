// The host's arc tangent: the shared inline one, under the host's names.
#pragma once

#include "frame/arc_tangent.h"

namespace simhost {
using ::arcTangent2;
using ::arcTangentOfNonNegative;
}  // namespace simhost
