// The display mode: registered with the host when it initialises the module,
// unregistered when the library detaches, and the host's source of display objects.
#pragma once

#include "frame/host_compat.h"

constexpr char kModeName[] = "ZOLKMFD";
constexpr DWORD kModeKey = OAPI_KEY_P;  // selects the mode in a display

DLLCLBK void InitModule(HINSTANCE instance);
DLLCLBK bool ExitModule(HINSTANCE instance);

// Message OAPI_MSG_MFD_OPENED asks for a new display object: the low 16 bits of
// wparam give its width and the high 16 bits its height (pixels), lparam its
// VESSEL*. The result is the object's address, or 0 for no object. Every other
// message gives 0: the host asks with OAPI_MSG_MFD_OPENEDEX first and then
// falls back to OAPI_MSG_MFD_OPENED.
OAPI_MSGTYPE ModeMsgProc(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam);
