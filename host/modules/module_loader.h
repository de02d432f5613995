// Plug-in modules loaded by path, with their entry points found by name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frame/host_api.h"

namespace simhost {

using InitModuleFn = void (*)(HINSTANCE);
using PreStepFn = void (*)(double simt, double simdt, double mjd);
using ModuleVersionFn = int (*)();

struct LoadedModule {
    std::string path;
    void* library = nullptr;
    HINSTANCE instance = nullptr;  // base address, as the module's attach handler sees it
    InitModuleFn initModule = nullptr;
    PreStepFn preStep = nullptr;
    ModuleVersionFn moduleVersion = nullptr;
};

class OAPIFUNC ModuleLoader {
public:
    ModuleLoader() = default;
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;
    ~ModuleLoader();

    // Loads the library (its attach handler runs), finds its entry points and
    // calls InitModule when it has one. Null on failure, with the reason in error.
    LoadedModule* load(const std::string& path, std::string& error);
    // Unloads a module: the library's detach handler runs. False for an unknown module.
    bool unload(LoadedModule* module);
    void unloadAll();

    // Any exported symbol of a loaded module, or null.
    void* entryPoint(const LoadedModule& module, const char* name) const;
    // Calls every loaded module's opcPreStep, in load order.
    void preStep(double simt, double simdt, double mjd) const;

    const std::vector<std::unique_ptr<LoadedModule>>& modules() const { return modules_; }

    // InitLib calls received, in order, with the instance handles passed.
    void noteInitLib(HINSTANCE instance) { initLibCalls_.push_back(instance); }
    const std::vector<HINSTANCE>& initLibCalls() const { return initLibCalls_; }

private:
    std::vector<std::unique_ptr<LoadedModule>> modules_;
    std::vector<HINSTANCE> initLibCalls_;
};

}  // namespace simhost
