// The display classes MFD and GraphMFD as the simulator has them, the mode
// registration, and the calls through which the world works the module's
// display objects. A display object of the module is paired with the world's
// object that stands for it; the pair is kept in MFD's member instr, which
// the simulator reserves for its own use (through its class Instrument_User).
#include "tests/host_abi/orbiter/orbiter_host.h"
#include "tests/host_abi/orbiter/page_type_check.h"

// The simulator's own access to a display object's private part.
class Instrument_User {
public:
    static void bind(MFD* display, void* proxy) { display->instr = static_cast<Instrument_User*>(proxy); }
    static void* proxyOf(const MFD* display) { return display->instr; }
    static void setCell(MFD* display, DWORD width, DWORD height) {
        display->cw = width;
        display->ch = height;
    }
};

MFD::MFD(DWORD w, DWORD h, VESSEL* vessel) : W(w), H(h), cw(0), ch(0), pV(vessel), instr(nullptr) {}
MFD::~MFD() {}
void MFD::InvalidateDisplay() { world->invalidateDisplay(Instrument_User::proxyOf(this)); }
void MFD::Title(HDC hdc, const char* title) const { world->title(Instrument_User::proxyOf(this), hdc, title); }
HFONT MFD::SelectDefaultFont(HDC hdc, DWORD index) const {
    return static_cast<HFONT>(world->selectDefaultFont(Instrument_User::proxyOf(this), hdc, index));
}

GraphMFD::GraphMFD(DWORD w, DWORD h, VESSEL* vessel) : MFD(w, h, vessel), ngraph(0), graph(nullptr) {}
GraphMFD::~GraphMFD() {}

namespace {

// The modes the module registered, by the slot the world knows them by.
constexpr int kModeSlots = 4;
OAPI_MSGTYPE (*modeProcs[kModeSlots])(UINT, UINT, WPARAM, LPARAM) = {};

MFD* display(void* foreign) { return static_cast<MFD*>(foreign); }
const MFD* display(const void* foreign) { return static_cast<const MFD*>(foreign); }

void* openDisplay(int slot, unsigned msg, unsigned mfd, ZolkMsgResult wparam, void* worldVessel) {
    if (slot < 0 || slot >= kModeSlots || !modeProcs[slot]) return nullptr;
    const auto vessel = reinterpret_cast<LPARAM>(vesselFor(worldVessel));
    auto* page = reinterpret_cast<MFD*>(modeProcs[slot](msg, mfd, static_cast<WPARAM>(wparam), vessel));
    // The simulator's type check on every page opened; a fault in it ends the flight.
    if (page) {
        if (const char* problem = pageTypeCheckProblem(page)) {
            failFlight("orbiter.exe: the host's type check on the opened page: ", problem);
        }
    }
    return page;
}

}  // namespace

int oapiRegisterMFDMode(MFDMODESPEC& spec) {
    for (int slot = 0; slot < kModeSlots; ++slot) {
        if (modeProcs[slot]) continue;
        modeProcs[slot] = spec.msgproc;
        return world->registerMode(spec.name, spec.key, slot);
    }
    return -1;
}

bool oapiUnregisterMFDMode(int id) { return world->unregisterMode(id) != 0; }

const ZolkHostCalls hostCalls{
    openDisplay,
    [](void* foreign, void* proxy) { Instrument_User::bind(display(foreign), proxy); },
    [](void* foreign) { delete display(foreign); },
    [](void* foreign, unsigned width, unsigned height) { Instrument_User::setCell(display(foreign), width, height); },
    [](void* foreign, void* hdc) { display(foreign)->Update(static_cast<HDC>(hdc)); },
    [](void* foreign, unsigned key) -> int { return display(foreign)->ConsumeKeyBuffered(key); },
    [](void* foreign, char* keystate) -> int { return display(foreign)->ConsumeKeyImmediate(keystate); },
    [](void* foreign, int index, int event) -> int { return display(foreign)->ConsumeButton(index, event); },
    [](void* foreign, int index) { return display(foreign)->ButtonLabel(index); },
    [](const void* foreign, const void** menu) {
        return display(foreign)->ButtonMenu(reinterpret_cast<const MFDBUTTONMENU**>(menu));
    },
    [](const void* foreign, void* scn) { display(foreign)->WriteStatus(scn); },
    [](void* foreign, void* scn) { display(foreign)->ReadStatus(scn); },
    [](const void* foreign) { display(foreign)->StoreStatus(); },
    [](void* foreign) { display(foreign)->RecallStatus(); },
};
