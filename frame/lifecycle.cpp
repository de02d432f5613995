#include "frame/lifecycle.h"

namespace {

// The exit function found at attach. The two names the host knows have
// different signatures, so each keeps its own type.
using ExitModuleFn = bool (*)(HINSTANCE);
using DllExitFn = void (*)(HINSTANCE);
ExitModuleFn exitModuleHook = nullptr;
DllExitFn dllExitHook = nullptr;

int versionCache = 0;  // 0: not computed yet

// A writable array: the simulator's date parser takes char*.
char moduleDate[] = "Apr 25 2006";

void findExitHook(HINSTANCE instance) {
    exitModuleHook = reinterpret_cast<ExitModuleFn>(findOwnExport(instance, "ExitModule"));
    dllExitHook = exitModuleHook ? nullptr : reinterpret_cast<DllExitFn>(findOwnExport(instance, "opcDLLExit"));
}

void callExitHook(HINSTANCE instance) {
    if (exitModuleHook)
        exitModuleHook(instance);
    else if (dllExitHook)
        dllExitHook(instance);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* /*reserved*/) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            InitLib(instance);
            findExitHook(instance);
            break;
        case DLL_PROCESS_DETACH:
            callExitHook(instance);
            break;
        default:  // thread notifications
            break;
    }
    return 1;
}

DLLCLBK int GetModuleVersion() {
    if (versionCache == 0) versionCache = Date2Int(moduleDate);
    return versionCache;
}
