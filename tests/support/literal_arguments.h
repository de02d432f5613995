// The host calls that take a text as char*, as the simulator declares them,
// made callable with a string literal for the tests. The host only reads these
// texts, so handing it a literal is safe.
#pragma once

#include "frame/host_api.h"

inline OBJHANDLE oapiGetObjectByName(const char* name) { return oapiGetObjectByName(const_cast<char*>(name)); }
inline OBJHANDLE oapiGetGbodyByName(const char* name) { return oapiGetGbodyByName(const_cast<char*>(name)); }
inline OBJHANDLE oapiGetVesselByName(const char* name) { return oapiGetVesselByName(const_cast<char*>(name)); }

inline void oapiOpenInputBox(const char* title, InputBoxCallback callback, const char* initialText = nullptr,
                             int visibleLength = 20, void* usrdata = nullptr) {
    oapiOpenInputBox(const_cast<char*>(title), callback, const_cast<char*>(initialText), visibleLength, usrdata);
}

inline void oapiWriteScenario_int(FILEHANDLE scn, const char* item, int value) {
    oapiWriteScenario_int(scn, const_cast<char*>(item), value);
}
inline void oapiWriteScenario_float(FILEHANDLE scn, const char* item, double value) {
    oapiWriteScenario_float(scn, const_cast<char*>(item), value);
}
inline void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* value) {
    oapiWriteScenario_string(scn, const_cast<char*>(item), const_cast<char*>(value));
}

// A mode record from a literal name.
inline MFDMODESPEC modeSpec(const char* name, DWORD key, MFD_MSGPROC msgproc) {
    return MFDMODESPEC{const_cast<char*>(name), key, msgproc};
}
