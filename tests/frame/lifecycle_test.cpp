// The module frame: attach, detach and version, through the host's real loader
// and, for the handler's own result, called directly.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frame/lifecycle.h"
#include "host/world/trace.h"
#include "host/world/world.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using simhost::LoadedModule;
using simhost::world;

namespace {

std::vector<std::pair<std::string, HINSTANCE>> probeEvents;
void recordProbe(const char* event, HINSTANCE instance) { probeEvents.emplace_back(event, instance); }

// Whether the platform's loader still has the library mapped.
bool libraryLoaded(const char* path) {
#ifdef _WIN32
    return GetModuleHandleA(path) != nullptr;
#else
    void* library = dlopen(path, RTLD_NOLOAD | RTLD_LAZY);
    if (library) dlclose(library);
    return library != nullptr;
#endif
}

class ModuleLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        world().reset();
        probeEvents.clear();
        simhost::clearTrace();
    }
    void TearDown() override {
        world().reset();
        simhost::setTraceEnabled(false);
        simhost::clearTrace();
    }

    LoadedModule* load(const char* path) {
        std::string error;
        LoadedModule* module = world().modules().load(path, error);
        EXPECT_NE(module, nullptr) << error;
        return module;
    }

    template <class Fn>
    Fn entry(LoadedModule* module, const char* name) {
        return reinterpret_cast<Fn>(world().modules().entryPoint(*module, name));
    }

    // Loads a fixture, listens to it, unloads it and returns what it reported.
    std::vector<std::pair<std::string, HINSTANCE>> unloadEvents(const char* path, HINSTANCE& instance) {
        LoadedModule* module = load(path);
        if (!module) return {};
        instance = module->instance;
        entry<void (*)(void (*)(const char*, HINSTANCE))>(module, "setFixtureProbe")(&recordProbe);
        probeEvents.clear();
        EXPECT_TRUE(world().modules().unload(module));
        return probeEvents;
    }
};

TEST_F(ModuleLifecycle, AttachInitialisesTheHostLibraryOnceWithTheModuleInstance) {
    for (const char* path : {FIXTURE_EXIT_MODULE_PATH, FIXTURE_DLL_EXIT_PATH, FIXTURE_NO_EXIT_PATH}) {
        const std::size_t before = world().modules().initLibCalls().size();
        LoadedModule* module = load(path);
        ASSERT_NE(module, nullptr);
        ASSERT_EQ(world().modules().initLibCalls().size(), before + 1) << path;
        EXPECT_NE(module->instance, nullptr);
        EXPECT_EQ(world().modules().initLibCalls().back(), module->instance) << path;
    }
}

TEST_F(ModuleLifecycle, LoaderCallsInitModuleWhenExported) {
    LoadedModule* module = load(FIXTURE_EXIT_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(entry<int (*)(const char*)>(module, "fixtureEventCount")("InitModule"), 1);
}

TEST_F(ModuleLifecycle, DetachCallsExitModuleOnceWithTheInstanceHandle) {
    HINSTANCE instance = nullptr;
    const auto events = unloadEvents(FIXTURE_EXIT_MODULE_PATH, instance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, "ExitModule");  // preferred over opcDLLExit
    EXPECT_EQ(events[0].second, instance);
}

TEST_F(ModuleLifecycle, DetachFallsBackToOpcDllExit) {
    HINSTANCE instance = nullptr;
    const auto events = unloadEvents(FIXTURE_DLL_EXIT_PATH, instance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, "opcDLLExit");
    EXPECT_EQ(events[0].second, instance);
}

TEST_F(ModuleLifecycle, DetachWithoutExitHookCallsNothing) {
    HINSTANCE instance = nullptr;
    EXPECT_TRUE(unloadEvents(FIXTURE_NO_EXIT_PATH, instance).empty());
}

// The own-export lookup may take a reference of its own; it must give it back,
// or the host's unload would leave the library mapped and never run its detach.
TEST_F(ModuleLifecycle, UnloadReallyUnloadsTheLibrary) {
    ASSERT_NE(load(FIXTURE_EXIT_MODULE_PATH), nullptr);
    ASSERT_TRUE(libraryLoaded(FIXTURE_EXIT_MODULE_PATH));
    world().modules().unloadAll();
    EXPECT_FALSE(libraryLoaded(FIXTURE_EXIT_MODULE_PATH));
}

// The module itself: attach initialises the host library once, the host's
// InitModule call registers the mode, and the detach handler unregisters it
// through the exit function it found at attach.
TEST_F(ModuleLifecycle, TheModuleRegistersItsModeOnLoadAndUnregistersItOnUnload) {
    const std::size_t before = world().modules().initLibCalls().size();
    LoadedModule* module = load(ZOLK_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(world().modules().initLibCalls().size(), before + 1);
    EXPECT_EQ(world().modules().initLibCalls().back(), module->instance);
    EXPECT_NE(world().cockpit().findMode("ZOLKMFD"), nullptr);
    simhost::setTraceEnabled(true);
    EXPECT_TRUE(world().modules().unload(module));
    EXPECT_EQ(simhost::traceCount("oapiUnregisterMFDMode"), 1);
    EXPECT_EQ(world().cockpit().findMode("ZOLKMFD"), nullptr);
    EXPECT_FALSE(libraryLoaded(ZOLK_MODULE_PATH));
}

TEST_F(ModuleLifecycle, ModuleVersionIsTheFixedDateComputedOnce) {
    LoadedModule* module = load(ZOLK_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    ASSERT_NE(module->moduleVersion, nullptr) << "GetModuleVersion must be exported unmangled";
    simhost::setTraceEnabled(true);
    const int first = module->moduleVersion();
    const int second = module->moduleVersion();
    EXPECT_EQ(first, 60425);
    EXPECT_EQ(second, first);
    EXPECT_EQ(simhost::traceCount("Date2Int"), 1);
}

}  // namespace

// ---- The handler itself, with the own-export lookup answered by the test ----

namespace {
int exitModuleCalls = 0;
int dllExitCalls = 0;
HINSTANCE exitInstance = nullptr;
bool offerExitModule = false;
bool offerDllExit = false;

bool fakeExitModule(HINSTANCE instance) {
    ++exitModuleCalls;
    exitInstance = instance;
    return true;
}
void fakeDllExit(HINSTANCE instance) {
    ++dllExitCalls;
    exitInstance = instance;
}
// For each lookup, whether the host's InitLib had been called by then
// (InitLib first, then the exit-hook lookup).
std::vector<bool> initLibBeforeLookup;
std::size_t initLibCallsBeforeAttach = 0;
}  // namespace

void* findOwnExport(HINSTANCE, const char* name) {
    initLibBeforeLookup.push_back(world().modules().initLibCalls().size() > initLibCallsBeforeAttach);
    if (offerExitModule && std::string(name) == "ExitModule") return reinterpret_cast<void*>(&fakeExitModule);
    if (offerDllExit && std::string(name) == "opcDLLExit") return reinterpret_cast<void*>(&fakeDllExit);
    return nullptr;
}

namespace {

TEST(AttachDetachHandler, ReportsSuccessForEveryReasonAndCallsTheHookFoundAtAttach) {
    auto* const instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x10000});
    struct Case {
        bool exitModule, dllExit;
        int expectExitModule, expectDllExit;
    };
    for (const Case c : {Case{false, false, 0, 0}, Case{true, true, 1, 0}, Case{false, true, 0, 1}}) {
        offerExitModule = c.exitModule;
        offerDllExit = c.dllExit;
        exitModuleCalls = dllExitCalls = 0;
        exitInstance = nullptr;
        initLibBeforeLookup.clear();
        initLibCallsBeforeAttach = world().modules().initLibCalls().size();
        EXPECT_EQ(DllMain(instance, DLL_PROCESS_ATTACH, nullptr), 1);
        ASSERT_EQ(world().modules().initLibCalls().size(), initLibCallsBeforeAttach + 1);
        EXPECT_EQ(world().modules().initLibCalls().back(), instance);
        ASSERT_FALSE(initLibBeforeLookup.empty());
        for (const bool initialised : initLibBeforeLookup) EXPECT_TRUE(initialised) << "exit hook looked up before InitLib";
        EXPECT_EQ(DllMain(instance, DLL_THREAD_ATTACH, nullptr), 1);
        EXPECT_EQ(DllMain(instance, DLL_THREAD_DETACH, nullptr), 1);
        EXPECT_EQ(exitModuleCalls + dllExitCalls, 0) << "thread notifications do nothing";
        EXPECT_EQ(DllMain(instance, DLL_PROCESS_DETACH, nullptr), 1);
        EXPECT_EQ(exitModuleCalls, c.expectExitModule);
        EXPECT_EQ(dllExitCalls, c.expectDllExit);
        if (c.expectExitModule + c.expectDllExit > 0) {
            EXPECT_EQ(exitInstance, instance);
        }
    }
    world().reset();
}

}  // namespace
