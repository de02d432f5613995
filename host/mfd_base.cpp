// The display base classes that display modes derive from.
#include <algorithm>

#include "host/trace_record.h"
#include "host/world.h"

namespace {
// The host's display font gives kDisplayColumns x kDisplayRows characters.
DWORD cellSize(DWORD pixels, DWORD cells) { return std::max<DWORD>(1, pixels / cells); }
}  // namespace

MFD::MFD(DWORD w, DWORD h, VESSEL* vessel)
    : W(w),
      H(h),
      charWidth(cellSize(w, simhost::kDisplayColumns)),
      charHeight(cellSize(h, simhost::kDisplayRows)),
      pV(vessel) {}

MFD::~MFD() = default;

bool MFD::ConsumeKeyBuffered(DWORD) { return false; }
bool MFD::ConsumeKeyImmediate(char*) { return false; }
bool MFD::ConsumeButton(int, int) { return false; }
const char* MFD::ButtonLabel(int) { return nullptr; }
int MFD::ButtonMenu(const MFDBUTTONMENU**) const { return 0; }
void MFD::WriteStatus(FILEHANDLE) const {}
void MFD::ReadStatus(FILEHANDLE) {}
void MFD::StoreStatus() const {}
void MFD::RecallStatus() {}

void MFD::InvalidateDisplay() {
    HOST_TRACE("MFD::InvalidateDisplay");
    if (simhost::Display* display = simhost::world().cockpit().displayOf(this)) display->requestRedraw();
}

#ifndef _WIN32
void MFD::Title(HDC hDC, const char* title) const {
    HOST_TRACE("MFD::Title", title);
    if (!hDC) return;
    // Top left, half a character in from the edge.
    hDC->title = simhost::TextItem{static_cast<int>(charWidth / 2), 0, simhost::kTitleColor, title ? title : ""};
    hDC->hasTitle = true;
}

HFONT MFD::SelectDefaultFont(HDC hDC, DWORD i) {
    HOST_TRACE("MFD::SelectDefaultFont", static_cast<unsigned>(i));
    if (!hDC) return nullptr;
    ++hDC->fontSelections;
    hDC->lastFont = static_cast<int>(i);
    return nullptr;  // the surface has one font; there is no earlier one to hand back
}
#endif

GraphMFD::GraphMFD(DWORD w, DWORD h, VESSEL* vessel) : MFD(w, h, vessel) {}
GraphMFD::~GraphMFD() = default;
