// The operating system's library loader, as the module loader needs it.
#pragma once

#include <string>

#include "frame/host_api.h"

namespace simhost {

// Loads a shared library, running its attach code. Null on failure, with the
// loader's reason in error.
void* openLibrary(const std::string& path, std::string& error);
// Runs the library's detach code and unloads it.
void closeLibrary(void* library);
// An exported symbol of the library itself, or null.
void* findExport(void* library, const char* name);
// The module instance handle: the library's base address.
HINSTANCE libraryInstance(void* library);

}  // namespace simhost
