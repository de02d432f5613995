// The library's frame: attach/detach handling and the version query.
#pragma once

#include "frame/host_compat.h"

#ifndef DLL_PROCESS_ATTACH
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#endif

// The attach/detach handler. On attach it initialises the host library and
// looks up the module's exit function; on detach it calls that function.
// Always reports success (1). The platform's loader notifications reach it.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved);

// The module's version: the host's integer form of the module's fixed date.
DLLCLBK int GetModuleVersion();

// An export of this module itself (not of a library it depends on), or null.
// Implemented by the platform glue.
void* findOwnExport(HINSTANCE instance, const char* name);
