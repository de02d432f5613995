// The host API's display calls: mode registration, input boxes and, where
// there is no GDI, the text calls on the host's recording surface.
#include "host/trace_record.h"
#include "host/world.h"

using simhost::world;

int oapiRegisterMFDMode(MFDMODESPEC& modeSpec) {
    HOST_TRACE("oapiRegisterMFDMode", modeSpec.name, static_cast<unsigned>(modeSpec.key));
    return world().cockpit().registerMode(modeSpec);
}

bool oapiUnregisterMFDMode(int mode) {
    HOST_TRACE("oapiUnregisterMFDMode", mode);
    return world().cockpit().unregisterMode(mode);
}

void oapiOpenInputBox(const char* title, InputBoxCallback callback, const char* initialText, int visibleLength,
                      void* usrdata) {
    HOST_TRACE("oapiOpenInputBox", title, initialText, visibleLength, simhost::detail::pointerText(usrdata));
    world().cockpit().openInputBox(
        simhost::InputBox{title ? title : "", callback, initialText ? initialText : "", visibleLength, usrdata});
}

#ifndef _WIN32
COLORREF SetTextColor(HDC hdc, COLORREF color) {
    HOST_TRACE("SetTextColor", static_cast<unsigned>(color));
    if (!hdc) return 0;
    const COLORREF previous = hdc->color;
    hdc->color = color;
    return previous;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length) {
    HOST_TRACE("TextOutA", x, y, std::string(text ? text : "", text && length > 0 ? static_cast<std::size_t>(length) : 0));
    if (!hdc || length < 0 || (!text && length > 0)) return 0;
    hdc->texts.push_back(simhost::TextItem{x, y, hdc->color, std::string(text ? text : "", static_cast<std::size_t>(length))});
    return 1;
}
#endif
