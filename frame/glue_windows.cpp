// Windows loader glue: the loader calls DllMain itself; the module's own
// exports are found with GetProcAddress on its instance handle.
#include <windows.h>

#include "frame/lifecycle.h"

void* findOwnExport(HINSTANCE instance, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(instance, name));
}
