// zolk_world.dll: the world of the test host orbiter.exe, which is the
// stand-in host simhost with its physics and the runner zolksim, built with
// MinGW-w64. It serves the host's functions that orbiter.exe forwards to it
// (tests/host_abi/world_bridge.h), and stands a display object of its own in
// for each one the module makes, forwarding every operation to it.
#include <iostream>

#include "frame/host_api.h"
#include "sim/run/run.h"
#include "sim/run/standard_streams.h"
#include "tests/host_abi/world_bridge.h"

namespace {

const ZolkHostCalls* host = nullptr;

VESSEL* vesselOf(void* vessel) { return static_cast<VESSEL*>(vessel); }
VECTOR3& vec(double* v) { return *reinterpret_cast<VECTOR3*>(v); }
const VECTOR3& vec(const double* v) { return *reinterpret_cast<const VECTOR3*>(v); }

// The world's display object for one the module made: the world draws,
// presses keys and saves through it; it hands each call on, with the
// character cell the world has given it since.
class ForeignDisplay : public MFD {
public:
    ForeignDisplay(DWORD w, DWORD h, VESSEL* vessel, void* foreign) : MFD(w, h, vessel), foreign_(foreign) {
        host->bind(foreign_, this);
    }
    ~ForeignDisplay() override { host->destroy(foreign_); }
    void Update(HDC hdc) override {
        cell();
        host->update(foreign_, hdc);
    }
    bool ConsumeKeyBuffered(DWORD key) override { return cell(), host->keyBuffered(foreign_, key) != 0; }
    bool ConsumeKeyImmediate(char* keystate) override { return cell(), host->keyImmediate(foreign_, keystate) != 0; }
    bool ConsumeButton(int index, int event) override { return cell(), host->button(foreign_, index, event) != 0; }
    char* ButtonLabel(int index) override { return host->buttonLabel(foreign_, index); }
    int ButtonMenu(const MFDBUTTONMENU** menu) const override {
        return host->buttonMenu(foreign_, reinterpret_cast<const void**>(menu));
    }
    void WriteStatus(FILEHANDLE scn) const override { host->writeStatus(foreign_, scn); }
    void ReadStatus(FILEHANDLE scn) override { host->readStatus(foreign_, scn); }
    void StoreStatus() const override { host->storeStatus(foreign_); }
    void RecallStatus() override { host->recallStatus(foreign_); }

    // The module's own drawing calls, made on its object, land here.
    void title(HDC hdc, const char* text) const { Title(hdc, text); }
    HFONT defaultFont(HDC hdc, DWORD index) const { return SelectDefaultFont(hdc, index); }

private:
    void cell() { host->setCell(foreign_, cw, ch); }
    void* foreign_;
};

// The message procedure the world calls for the mode in a slot: the module's,
// through the host; an opened display gets its stand-in.
template <int Slot>
OAPI_MSGTYPE slotMsgProc(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam) {
    auto* vessel = reinterpret_cast<VESSEL*>(lparam);
    void* foreign = host->openDisplay(Slot, msg, mfd, static_cast<ZolkMsgResult>(wparam), vessel);
    if (!foreign || msg != OAPI_MSG_MFD_OPENED) return reinterpret_cast<OAPI_MSGTYPE>(foreign);
    const auto width = static_cast<DWORD>(wparam & 0xFFFF);
    const auto height = static_cast<DWORD>((wparam >> 16) & 0xFFFF);
    return reinterpret_cast<OAPI_MSGTYPE>(new ForeignDisplay(width, height, vessel, foreign));
}
constexpr MFD_MSGPROC kSlotMsgProcs[] = {slotMsgProc<0>, slotMsgProc<1>, slotMsgProc<2>, slotMsgProc<3>};

int registerMode(char* name, unsigned key, int slot) {
    if (slot < 0 || slot >= static_cast<int>(std::size(kSlotMsgProcs))) return -1;
    MFDMODESPEC mode{name, key, kSlotMsgProcs[slot]};
    return oapiRegisterMFDMode(mode);
}

int run(int argc, char** argv) {
    zolksim::guardStandardStreams();
    zolksim::Terminal terminal;  // no colour, no progress bar: the output is compared
    const int status = zolksim::runZolksim(argc, argv, std::cout, std::cerr, terminal);
    std::cout.flush();
    return status;
}

const ZolkWorldCalls kWorld{
    [](void* instance) { InitLib(static_cast<HINSTANCE>(instance)); },
    [](char* date) { return Date2Int(date); },
    [](void* object) -> void* { return oapiGetVesselInterface(object); },
    [](void* vessel) -> void* { return vesselOf(vessel)->GetHandle(); },
    [](void* vessel, int mode) -> int { return vesselOf(vessel)->DeactivateNavmode(mode); },
    [](void* vessel, void* body, double* elements, double* orbit, double mjd, int frame) -> int {
        return vesselOf(vessel)->GetElements(body, *reinterpret_cast<ELEMENTS*>(elements),
                                             reinterpret_cast<ORBITPARAM*>(orbit), mjd, frame);
    },
    [](void* vessel, double* pos) { vesselOf(vessel)->GetGlobalPos(vec(pos)); },
    [](void* vessel, void* body, double* pos) { vesselOf(vessel)->GetRelativePos(body, vec(pos)); },
    [](void* vessel, void* body, double* vel) { vesselOf(vessel)->GetRelativeVel(body, vec(vel)); },
    [](void* vessel, const double* global, double* local) { vesselOf(vessel)->Global2Local(vec(global), vec(local)); },
    [](void* vessel, const double* local, double* global) { vesselOf(vessel)->Local2Global(vec(local), vec(global)); },
    [](void* vessel, const double* local, double* global) { vesselOf(vessel)->GlobalRot(vec(local), vec(global)); },
    [](void* vessel, const double* rate) { vesselOf(vessel)->SetAngularVel(vec(rate)); },
    [](void* vessel, const double* angles) { vesselOf(vessel)->SetGlobalOrientation(vec(angles)); },
    [](void* vessel) { return vesselOf(vessel)->GetMass(); },
    [](void* vessel, void* tank) { return vesselOf(vessel)->GetPropellantMass(tank); },
    [](void* vessel, int group) -> unsigned {
        return vesselOf(vessel)->GetGroupThrusterCount(static_cast<THGROUP_TYPE>(group));
    },
    [](void* vessel, int group, unsigned index) -> void* {
        return vesselOf(vessel)->GetGroupThruster(static_cast<THGROUP_TYPE>(group), index);
    },
    [](void* vessel, int group, double level) {
        vesselOf(vessel)->SetThrusterGroupLevel(static_cast<THGROUP_TYPE>(group), level);
    },
    [](void* vessel, void* thruster) { return vesselOf(vessel)->GetThrusterIsp(thruster); },
    [](void* vessel, void* thruster) { return vesselOf(vessel)->GetThrusterMax0(thruster); },
    [](void* vessel, void* thruster) -> void* { return vesselOf(vessel)->GetThrusterResource(thruster); },
    [](void* vessel, void* thruster, double isp) { vesselOf(vessel)->SetThrusterIsp(thruster, isp); },
    [](void* vessel, void* thruster, double max0) { vesselOf(vessel)->SetThrusterMax0(thruster, max0); },
    []() -> void* { return oapiGetFocusObject(); },
    [](char* name) -> void* { return oapiGetObjectByName(name); },
    [](char* name) -> void* { return oapiGetVesselByName(name); },
    [](char* name) -> void* { return oapiGetGbodyByName(name); },
    [](void* object, char* name, int n) { oapiGetObjectName(object, name, n); },
    registerMode,
    [](int id) -> int { return oapiUnregisterMFDMode(id); },
    [](void* proxy, void* hdc, const char* text) { static_cast<ForeignDisplay*>(proxy)->title(static_cast<HDC>(hdc), text); },
    [](void* proxy, void* hdc, unsigned index) -> void* {
        return static_cast<ForeignDisplay*>(proxy)->defaultFont(static_cast<HDC>(hdc), index);
    },
    [](void* proxy) { static_cast<ForeignDisplay*>(proxy)->InvalidateDisplay(); },
    [](char* title, void* callback, char* text, int length, void* data) {
        oapiOpenInputBox(title, reinterpret_cast<InputBoxCallback>(callback), text, length, data);
    },
    [](void* scn, char** line) -> int { return oapiReadScenario_nextline(scn, *line); },
    [](void* scn, char* item, int value) { oapiWriteScenario_int(scn, item, value); },
    [](void* scn, char* item, double value) { oapiWriteScenario_float(scn, item, value); },
    [](void* scn, char* item, char* text) { oapiWriteScenario_string(scn, item, text); },
    run,
};

}  // namespace

extern "C" __declspec(dllexport) const ZolkWorldCalls* zolkWorldConnect(const ZolkHostCalls* calls) {
    host = calls;
    return &kWorld;
}
