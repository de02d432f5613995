// POSIX loader glue: the load/unload constructor pair delivers the attach and
// detach notifications, and the dynamic loader finds the module's own exports.
#include <dlfcn.h>

#include "frame/lifecycle.h"

namespace {

// The module's base address: its instance handle, as on Windows.
HINSTANCE ownInstance() {
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&ownInstance), &info) ? info.dli_fbase : nullptr;
}

__attribute__((constructor)) void onLibraryLoad() { DllMain(ownInstance(), DLL_PROCESS_ATTACH, nullptr); }

__attribute__((destructor)) void onLibraryUnload() { DllMain(ownInstance(), DLL_PROCESS_DETACH, nullptr); }

}  // namespace

void* findOwnExport(HINSTANCE instance, const char* name) {
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&ownInstance), &self)) return nullptr;
    void* library = dlopen(self.dli_fname, RTLD_NOLOAD | RTLD_LAZY);
    if (!library) return nullptr;
    void* symbol = dlsym(library, name);
    // Give back the reference that dlopen took, or the host's unload would never unload.
    dlclose(library);
    // dlsym also searches the libraries this one depends on: keep only our own.
    Dl_info found{};
    if (!symbol || !dladdr(symbol, &found) || found.dli_fbase != instance) return nullptr;
    return symbol;
}
