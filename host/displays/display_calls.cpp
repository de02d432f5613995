// The host API's display calls: mode registration and input boxes.
#include "host/world/trace_record.h"
#include "host/world/world.h"

using simhost::world;

int oapiRegisterMFDMode(MFDMODESPEC& modeSpec) {
    HOST_TRACE("oapiRegisterMFDMode", modeSpec.name, static_cast<unsigned>(modeSpec.key));
    return world().cockpit().registerMode(modeSpec);
}

bool oapiUnregisterMFDMode(int mode) {
    HOST_TRACE("oapiUnregisterMFDMode", mode);
    return world().cockpit().unregisterMode(mode);
}

void oapiOpenInputBox(char* title, InputBoxCallback callback, char* initialText, int visibleLength,
                      void* usrdata) {
    HOST_TRACE("oapiOpenInputBox", title, initialText, visibleLength, simhost::detail::pointerText(usrdata));
    world().cockpit().openInputBox(
        simhost::InputBox{title ? title : "", callback, initialText ? initialText : "", visibleLength, usrdata, initialText});
}
