#include "sim/run/module_path.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zolksim {

namespace fs = std::filesystem;

namespace {

fs::path programFolder() {
#ifdef _WIN32
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return fs::path(std::string(path, length)).parent_path();
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path{} : self.parent_path();
#endif
}

}  // namespace

std::string defaultModulePath() {
#ifdef _WIN32
    const char* const kBeside[] = {"ZolkMFD.dll", "../lib/ZolkMFD.dll"};
#else
    const char* const kBeside[] = {"../lib/libZolkMFD.so", "libZolkMFD.so"};
#endif
    std::error_code ec;
    const fs::path folder = programFolder();
    if (!folder.empty())
        for (const char* name : kBeside)
            if (fs::exists(folder / name, ec)) return (folder / name).lexically_normal().string();
    if (fs::exists(ZOLK_BUILT_MODULE_PATH, ec)) return ZOLK_BUILT_MODULE_PATH;
    return {};
}

}  // namespace zolksim
