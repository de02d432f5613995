// The host's declarations as the module sees them, whichever host it is built
// for: the project's own frame/host_api.h, or, when the build defines
// ZOLK_HOST_SDK, the simulator's development kit (Orbitersdk.h). Every module
// source includes this header and no other host header, so that what the two
// disagree on is settled here and nowhere else.
#pragma once

#ifdef ZOLK_HOST_SDK

// Classes that the kit first names in a friend declaration or uses before
// declaring them; MSVC accepts that, other compilers need them declared.
class ATMOSPHERE;
class Instrument_User;

#include <Orbitersdk.h>

// The host's library initialisation and date parser, which the module's frame
// calls; the kit's headers leave them undeclared.
OAPIFUNC void InitLib(HINSTANCE hModule);
OAPIFUNC int Date2Int(char* date);  // char*, as the host's executable exports it

// The kit makes a vector with _V.
inline VECTOR3 vec3(double x, double y, double z) { return _V(x, y, z); }

#else

#include "frame/host_api.h"

#endif

// The hold's frame is built from unit vectors whose components are multiplied by
// the reciprocal of the length; the kit's unit() divides by the length, which
// may differ in the last bit, so the module uses its own on both hosts.
inline VECTOR3 unitVector(const VECTOR3& a) {
    const double reciprocal = 1.0 / length(a);
    return vec3(a.x * reciprocal, a.y * reciprocal, a.z * reciprocal);
}

// The display's character cell: the host's members cw and ch, read by the page
// under plain names.
#define charWidth cw
#define charHeight ch
