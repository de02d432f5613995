#include <windows.h>

#include "host/modules/dynamic_library.h"

namespace simhost {

void* openLibrary(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(library);
}

void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

void* findExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

HINSTANCE libraryInstance(void* library) { return static_cast<HINSTANCE>(library); }

}  // namespace simhost
