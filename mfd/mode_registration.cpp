#include "mfd/mode_registration.h"

#include <array>
#include <new>

#include "frame/plugin_state.h"
#include "mfd/zolk_mfd.h"

namespace {
// The host takes the name as char* and keeps the pointer; it only reads the text.
std::array<char, sizeof kModeName> modeName = std::to_array(kModeName);
}  // namespace

DLLCLBK void InitModule(HINSTANCE /*instance*/) {
    MFDMODESPEC mode{modeName.data(), kModeKey, ModeMsgProc};
    pluginState.modeId = oapiRegisterMFDMode(mode);
}

DLLCLBK bool ExitModule(HINSTANCE /*instance*/) { return oapiUnregisterMFDMode(pluginState.modeId); }

OAPI_MSGTYPE ModeMsgProc(UINT msg, UINT /*mfd*/, WPARAM wparam, LPARAM lparam) {
    if (msg != OAPI_MSG_MFD_OPENED) return 0;
    const auto width = static_cast<DWORD>(wparam & 0xFFFF);
    const auto height = static_cast<DWORD>((wparam >> 16) & 0xFFFF);
    auto* display = new (std::nothrow) ZolkMFD(width, height, reinterpret_cast<VESSEL*>(lparam));
    return reinterpret_cast<OAPI_MSGTYPE>(display);
}
