// The test host orbiter.exe: the simulator's functions and classes that the
// module uses, built in the simulator's ABI against its own headers (with
// OAPI_IMPLEMENTATION, so they carry the genuine names and layouts) and served
// by the world in zolk_world.dll, the stand-in host's (world_bridge.h).
#pragma once

#define OAPI_IMPLEMENTATION
class ATMOSPHERE;
class Instrument_User;
#include <Orbitersdk.h>

#include "tests/host_abi/world_bridge.h"

// The world, once connected.
extern const ZolkWorldCalls* world;
// What the world calls in this host.
extern const ZolkHostCalls hostCalls;

// The vessel interface this host hands the module for the world's vessel interface.
VESSEL* vesselFor(void* worldVessel);

// Writes what and why to the standard error and ends the process with status 3.
[[noreturn]] void failFlight(const char* what, const char* why);
