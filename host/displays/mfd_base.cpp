// The display base classes that display modes derive from.
// Their drawing calls (title, font) are in display_surface_*.cpp.
#include "host/world/trace_record.h"
#include "host/world/world.h"

// The character cell is the display's to give (Display::open), after construction.
MFD::MFD(DWORD w, DWORD h, VESSEL* vessel) : W(w), H(h), cw(0), ch(0), pV(vessel) {}

MFD::~MFD() = default;

bool MFD::ConsumeKeyBuffered(DWORD) { return false; }
bool MFD::ConsumeKeyImmediate(char*) { return false; }
bool MFD::ConsumeButton(int, int) { return false; }
char* MFD::ButtonLabel(int) { return nullptr; }
int MFD::ButtonMenu(const MFDBUTTONMENU**) const { return 0; }
void MFD::WriteStatus(FILEHANDLE) const {}
void MFD::ReadStatus(FILEHANDLE) {}
void MFD::StoreStatus() const {}
void MFD::RecallStatus() {}

void MFD::InvalidateDisplay() {
    HOST_TRACE("MFD::InvalidateDisplay");
    if (simhost::Display* display = simhost::world().cockpit().displayOf(this)) display->requestRedraw();
}

GraphMFD::GraphMFD(DWORD w, DWORD h, VESSEL* vessel) : MFD(w, h, vessel) {}
GraphMFD::~GraphMFD() = default;
