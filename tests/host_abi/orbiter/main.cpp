// orbiter.exe's entry point (there is no C runtime start-up: the C library is
// Windows' ucrtbase.dll, used as a plain DLL). It loads its world,
// zolk_world.dll, from its own folder, and has it fly as zolksim does with
// this program's arguments; the world's module loader loads ZolkMFD.dll with
// LoadLibrary, and the module's imports from orbiter.exe are this program's.
#include "tests/host_abi/orbiter/orbiter_host.h"

#include <shellapi.h>

#include <cstdlib>

const ZolkWorldCalls* world = nullptr;

namespace {

// The command line as the C library would hand it to main, in the ANSI code page.
char** narrowArguments(int& argc) {
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!wide) return nullptr;
    auto** argv = static_cast<char**>(std::calloc(static_cast<size_t>(argc) + 1, sizeof(char*)));
    for (int i = 0; argv && i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        argv[i] = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
        if (argv[i]) WideCharToMultiByte(CP_ACP, 0, wide[i], -1, argv[i], size, nullptr, nullptr);
    }
    LocalFree(wide);
    return argv;
}

UINT fail(const char* what) {
    const char* text = what;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
    return 2;
}

UINT start() {
    int argc = 0;
    char** argv = narrowArguments(argc);
    if (!argv) return fail("orbiter.exe: cannot read the command line\n");
    HMODULE library = LoadLibraryA("zolk_world.dll");
    if (!library) return fail("orbiter.exe: cannot load zolk_world.dll\n");
    auto connect = reinterpret_cast<ZolkWorldConnect>(reinterpret_cast<void*>(GetProcAddress(library, "zolkWorldConnect")));
    if (!connect) return fail("orbiter.exe: zolk_world.dll has no zolkWorldConnect\n");
    world = connect(&hostCalls);
    return static_cast<UINT>(world->run(argc, argv));
}

}  // namespace

void failFlight(const char* what, const char* why) {
    fail(what);
    fail(why);
    fail("\n");
    ExitProcess(3);
}

extern "C" void __stdcall orbiterMain() { ExitProcess(start()); }
