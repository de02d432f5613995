// Drawing with GDI: a display's Update draws on the memory device context of
// its pixels; the base class's title and font calls are GDI calls there.
#include "host/displays/metafile_texts.h"
#include "host/world/trace_record.h"
#include "host/world/world.h"

namespace simhost {

namespace {

// A redraw's second drawing, into a metafile, only learns the page's own
// texts; the host's title and font calls count in the first.
bool isMetafile(HDC dc) { return GetObjectType(dc) == OBJ_ENHMETADC; }

}  // namespace

const PageRecord& Display::redraw() {
    surface_.clear();
    canvas_.clear();
    redrawRequested_ = false;
    if (!object_) return surface_;
    if (canvas_.dc()) object_->Update(canvas_.dc());
    // The same page again into a metafile, whose records give the texts with
    // their positions and colours. Untraced: the trace shows one drawing.
    const bool tracing = traceEnabled();
    setTraceEnabled(false);
    surface_.texts = metafileTexts(canvas_, [this](HDC dc) {
        if (object_) object_->Update(dc);
    });
    setTraceEnabled(tracing);
    GdiFlush();
    return surface_;
}

}  // namespace simhost

void MFD::Title(HDC hDC, const char* title) const {
    HOST_TRACE("MFD::Title", title);
    if (!hDC || simhost::isMetafile(hDC)) return;
    const simhost::TextItem item = simhost::titleItem(cw, ch, title);
    if (simhost::Display* display = simhost::world().cockpit().displayOf(this)) {
        display->record().title = item;
        display->record().hasTitle = true;
    }
    // The page's own text colour stays as it was.
    const COLORREF pageColor = SetTextColor(hDC, item.color);
    TextOutA(hDC, item.x, item.y, item.text.data(), static_cast<int>(item.text.size()));
    SetTextColor(hDC, pageColor);
}

HFONT MFD::SelectDefaultFont(HDC hDC, DWORD i) const {
    HOST_TRACE("MFD::SelectDefaultFont", static_cast<unsigned>(i));
    simhost::Display* display = simhost::world().cockpit().displayOf(this);
    if (!hDC || !display || !display->canvas().font()) return nullptr;
    if (!simhost::isMetafile(hDC)) {
        ++display->record().fontSelections;
        display->record().lastFont = static_cast<int>(i);
    }
    // The display has one font; every index selects it.
    return static_cast<HFONT>(SelectObject(hDC, display->canvas().font()));
}
