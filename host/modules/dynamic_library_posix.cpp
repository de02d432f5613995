#include <dlfcn.h>
#include <link.h>

#include "host/modules/dynamic_library.h"

namespace simhost {

void* openLibrary(const std::string& path, std::string& error) {
    // Local binding keeps one module's symbols from satisfying another's.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown loader error";
    }
    return library;
}

void closeLibrary(void* library) { dlclose(library); }

void* findExport(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    if (!symbol) return nullptr;
    // dlsym also searches the library's dependencies; keep only its own exports.
    Dl_info info{};
    if (!dladdr(symbol, &info) || info.dli_fbase != libraryInstance(library)) return nullptr;
    return symbol;
}

HINSTANCE libraryInstance(void* library) {
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
    return reinterpret_cast<HINSTANCE>(map->l_addr);
}

}  // namespace simhost
