// The C interface between the test host orbiter.exe, built in the simulator's
// ABI (Microsoft's), and its world, the stand-in host simhost and the runner
// zolksim built with MinGW-w64 (GCC's ABI) into zolk_world.dll. C crosses
// between the two compilers safely; C++ classes do not, so each side keeps its
// own objects and hands the other only opaque pointers, plain numbers and
// arrays of doubles. Vectors are 3 doubles; ELEMENTS is 6 doubles and
// ORBITPARAM 12, the same layout on both sides (tests/layout).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef long long ZolkMsgResult;  // holds OAPI_MSGTYPE, WPARAM and LPARAM of either width


// What the world calls in the test host: the operations of a display object
// made by the module (foreign: the module's own object), and the opening of
// a display through the module's message procedure.
struct ZolkHostCalls {
    // The module's message procedure for the mode registered in slot; for an
    // opened display, the module's object (or null). vessel: the world's.
    void* (*openDisplay)(int slot, unsigned msg, unsigned mfd, ZolkMsgResult wparam, void* vessel);
    // Binds the module's object to the world's display object that stands for it.
    void (*bind)(void* foreign, void* proxy);
    void (*destroy)(void* foreign);
    void (*setCell)(void* foreign, unsigned width, unsigned height);
    void (*update)(void* foreign, void* hdc);
    int (*keyBuffered)(void* foreign, unsigned key);
    int (*keyImmediate)(void* foreign, char* keystate);
    int (*button)(void* foreign, int index, int event);
    char* (*buttonLabel)(void* foreign, int index);
    int (*buttonMenu)(const void* foreign, const void** menu);
    void (*writeStatus)(const void* foreign, void* scn);
    void (*readStatus)(void* foreign, void* scn);
    void (*storeStatus)(const void* foreign);
    void (*recallStatus)(void* foreign);
};

// What the test host calls in the world: the host's functions, each the
// stand-in's own. vessel: the world's vessel interface; handles are the world's.
struct ZolkWorldCalls {
    void (*initLib)(void* instance);
    int (*date2Int)(char* date);
    // Vessels.
    void* (*vesselInterface)(void* object);
    void* (*vesselHandle)(void* vessel);
    int (*deactivateNavmode)(void* vessel, int mode);
    int (*getElements)(void* vessel, void* body, double* elements, double* orbit, double mjd, int frame);
    void (*getGlobalPos)(void* vessel, double* pos);
    void (*getRelativePos)(void* vessel, void* body, double* pos);
    void (*getRelativeVel)(void* vessel, void* body, double* vel);
    void (*global2Local)(void* vessel, const double* global, double* local);
    void (*local2Global)(void* vessel, const double* local, double* global);
    void (*globalRot)(void* vessel, const double* local, double* global);
    void (*setAngularVel)(void* vessel, const double* rate);
    void (*setGlobalOrientation)(void* vessel, const double* angles);
    double (*getMass)(void* vessel);
    double (*getPropellantMass)(void* vessel, void* tank);
    unsigned (*groupThrusterCount)(void* vessel, int group);
    void* (*groupThruster)(void* vessel, int group, unsigned index);
    void (*setThrusterGroupLevel)(void* vessel, int group, double level);
    double (*thrusterIsp)(void* vessel, void* thruster);
    double (*thrusterMax0)(void* vessel, void* thruster);
    void* (*thrusterResource)(void* vessel, void* thruster);
    void (*setThrusterIsp)(void* vessel, void* thruster, double isp);
    void (*setThrusterMax0)(void* vessel, void* thruster, double max0);
    // Objects.
    void* (*focusObject)(void);
    void* (*objectByName)(char* name);
    void* (*vesselByName)(char* name);
    void* (*gbodyByName)(char* name);
    void (*objectName)(void* object, char* name, int n);
    // Displays: modes (the module's message procedure stays with the host,
    // known to the world by its slot) and the drawing calls of a display.
    int (*registerMode)(char* name, unsigned key, int slot);
    int (*unregisterMode)(int id);
    void (*title)(void* proxy, void* hdc, const char* text);
    void* (*selectDefaultFont)(void* proxy, void* hdc, unsigned index);
    void (*invalidateDisplay)(void* proxy);
    // callback: the module's bool (*)(void*, char*, void*), called by the world as it is.
    void (*openInputBox)(char* title, void* callback, char* text, int length, void* data);
    // Scenario files.
    int (*readScenarioLine)(void* scn, char** line);
    void (*writeScenarioInt)(void* scn, char* item, int value);
    void (*writeScenarioFloat)(void* scn, char* item, double value);
    void (*writeScenarioString)(void* scn, char* item, char* text);
    // The runner: flies as zolksim does with these arguments; its exit status.
    int (*run)(int argc, char** argv);
};

// zolk_world.dll's one export.
typedef const struct ZolkWorldCalls* (*ZolkWorldConnect)(const struct ZolkHostCalls* host);

#ifdef __cplusplus
}
#endif
