// The simulator's free functions that the module calls, each the world's.
#include "tests/host_abi/orbiter/orbiter_host.h"

// The two the kit's headers leave out (its Orbitersdk.cpp declares them).
OAPIFUNC void InitLib(HINSTANCE instance) { world->initLib(instance); }
OAPIFUNC int Date2Int(char* date) { return world->date2Int(date); }

OBJHANDLE oapiGetFocusObject() { return world->focusObject(); }
OBJHANDLE oapiGetObjectByName(char* name) { return world->objectByName(name); }
OBJHANDLE oapiGetVesselByName(char* name) { return world->vesselByName(name); }
OBJHANDLE oapiGetGbodyByName(char* name) { return world->gbodyByName(name); }
void oapiGetObjectName(OBJHANDLE object, char* name, int n) { world->objectName(object, name, n); }
VESSEL* oapiGetVesselInterface(OBJHANDLE object) { return vesselFor(world->vesselInterface(object)); }

void oapiOpenInputBox(char* title, bool (*callback)(void*, char*, void*), char* text, int length, void* data) {
    world->openInputBox(title, reinterpret_cast<void*>(callback), text, length, data);
}

bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line) { return world->readScenarioLine(scn, &line) != 0; }
void oapiWriteScenario_int(FILEHANDLE scn, char* item, int value) { world->writeScenarioInt(scn, item, value); }
void oapiWriteScenario_float(FILEHANDLE scn, char* item, double value) { world->writeScenarioFloat(scn, item, value); }
void oapiWriteScenario_string(FILEHANDLE scn, char* item, char* text) { world->writeScenarioString(scn, item, text); }
