// Drawing where there is no GDI: the device context a display hands to Update
// is its page record, and the text calls and the base class's title and font
// calls write into it.
#include <string>

#include "host/world/trace_record.h"
#include "host/world/world.h"

namespace simhost {

const PageRecord& Display::redraw() {
    surface_.clear();
    redrawRequested_ = false;
    if (object_) object_->Update(&surface_);
    return surface_;
}

}  // namespace simhost

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

void MFD::Title(HDC hDC, const char* title) const {
    HOST_TRACE("MFD::Title", title);
    if (!hDC) return;
    hDC->title = simhost::titleItem(cw, ch, title);
    hDC->hasTitle = true;
}

HFONT MFD::SelectDefaultFont(HDC hDC, DWORD i) const {
    HOST_TRACE("MFD::SelectDefaultFont", static_cast<unsigned>(i));
    if (!hDC) return nullptr;
    ++hDC->fontSelections;
    hDC->lastFont = static_cast<int>(i);
    return nullptr;  // the surface has one font; there is no earlier one to hand back
}
