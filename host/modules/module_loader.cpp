#include "host/modules/module_loader.h"

#include <algorithm>

#include "host/modules/dynamic_library.h"
#include "host/world/world.h"

namespace simhost {

namespace {
template <class Fn>
Fn entry(void* library, const char* name) {
    return reinterpret_cast<Fn>(findExport(library, name));
}
}  // namespace

ModuleLoader::~ModuleLoader() { unloadAll(); }

LoadedModule* ModuleLoader::load(const std::string& path, std::string& error) {
    void* library = openLibrary(path, error);
    if (!library) return nullptr;
    auto module = std::make_unique<LoadedModule>();
    module->path = path;
    module->library = library;
    module->instance = libraryInstance(library);
    module->initModule = entry<InitModuleFn>(library, "InitModule");
    module->preStep = entry<PreStepFn>(library, "opcPreStep");
    module->moduleVersion = entry<ModuleVersionFn>(library, "GetModuleVersion");
    modules_.push_back(std::move(module));
    LoadedModule* loaded = modules_.back().get();
    if (loaded->initModule) loaded->initModule(loaded->instance);
    return loaded;
}

bool ModuleLoader::unload(LoadedModule* module) {
    auto it = std::find_if(modules_.begin(), modules_.end(), [&](const auto& m) { return m.get() == module; });
    if (it == modules_.end()) return false;
    // Take it off the list first: its detach code may call back into the host.
    std::unique_ptr<LoadedModule> owned = std::move(*it);
    modules_.erase(it);
    // Display objects and input-box callbacks may be the module's code: none
    // may outlive it, whether or not its detach unregisters its mode.
    world().cockpit().closeAll();
    closeLibrary(owned->library);
    return true;
}

void ModuleLoader::unloadAll() {
    while (!modules_.empty()) unload(modules_.back().get());
}

void* ModuleLoader::entryPoint(const LoadedModule& module, const char* name) const {
    return findExport(module.library, name);
}

void ModuleLoader::preStep(double simt, double simdt, double mjd) const {
    for (const auto& module : modules_)
        if (module->preStep) module->preStep(simt, simdt, mjd);
}

}  // namespace simhost
