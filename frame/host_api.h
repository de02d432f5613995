// The host's programming interface, shared by the module and the stand-in host.
//
// Everything the module may call or derive from is declared here in the host's
// own names and shapes, as the simulator's development kit declares them (char*
// where the host takes char*, its default arguments, its struct packing, its
// member names and virtual slot order). The host library implements it; the
// module imports it through frame/host_compat.h, which also settles what little
// differs from the kit.
// Units: lengths in m, masses in kg, times in s, angles in rad, thrust in N,
// specific impulse in N*s/kg (= m/s). Global coordinates are the host's inertial
// ecliptic frame (right-handed, origin at the Sun, z towards ecliptic north).
#pragma once

#include <cmath>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using COLORREF = std::uint32_t;  // 0x00BBGGRR
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using HINSTANCE = void*;          // a loaded module's base address
struct HDC__;                     // the host's text surface of one display
using HDC = HDC__*;
struct HFONT__;
using HFONT = HFONT__*;
#define WINAPI
#endif

// Host symbols: exported by the host library, imported by modules on Windows.
#ifdef _WIN32
#ifdef SIMHOST_BUILDING
#define OAPIFUNC __declspec(dllexport)
#else
#define OAPIFUNC __declspec(dllimport)
#endif
#define DLLCLBK extern "C" __declspec(dllexport)
#else
#define OAPIFUNC __attribute__((visibility("default")))
#define DLLCLBK extern "C" __attribute__((visibility("default")))
#endif

// ---- Handles: opaque, compared for identity only; null means "none". ----
using OBJHANDLE = void*;          // celestial body or vessel
using THRUSTER_HANDLE = void*;
using PROPELLANT_HANDLE = void*;
using FILEHANDLE = void*;         // an open scenario file

// ---- Vectors ----
// The kit's VECTOR3 is a union of this struct with double data[3]; the module
// reads x, y, z only, and a plain struct keeps every read well defined.
struct VECTOR3 {
    double x, y, z;
};

inline VECTOR3 vec3(double x, double y, double z) { return VECTOR3{x, y, z}; }
inline VECTOR3 operator+(const VECTOR3& a, const VECTOR3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline VECTOR3 operator-(const VECTOR3& a, const VECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline VECTOR3 operator-(const VECTOR3& a) { return {-a.x, -a.y, -a.z}; }
inline VECTOR3 operator*(const VECTOR3& a, double f) { return {a.x * f, a.y * f, a.z * f}; }
inline VECTOR3 operator*(double f, const VECTOR3& a) { return a * f; }
inline double dotp(const VECTOR3& a, const VECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length(const VECTOR3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
// Each component times the reciprocal of the length (not a division per component).
inline VECTOR3 unit(const VECTOR3& a) { return a * (1.0 / length(a)); }
inline VECTOR3 crossp(const VECTOR3& a, const VECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// ---- Orbits ----
// Osculating elements: semi-major axis a (m, negative on open orbits),
// eccentricity e, inclination i, longitude of the ascending node theta,
// longitude of periapsis omegab, mean longitude L at the reference date.
struct ELEMENTS {
    double a, e, i, theta, omegab, L;
};

// Derived orbit parameters. T (the tenth double) is the period and PeT (the
// eleventh) the time to the next periapsis passage, both in s.
struct ORBITPARAM {
    double SMi;  // semi-minor axis (m)
    double PeD;  // periapsis distance from the body's centre (m)
    double ApD;  // apoapsis distance (m; infinite on open orbits)
    double MnA;  // mean anomaly
    double TrA;  // true anomaly
    double MnL;  // mean longitude
    double TrL;  // true longitude
    double EcA;  // eccentric anomaly
    double Lec;  // linear eccentricity (m)
    double T;    // orbit period (s; infinite on open orbits)
    double PeT;  // time to next periapsis passage (s)
    double ApT;  // time to next apoapsis passage (s)
};
static_assert(sizeof(ORBITPARAM) == 12 * sizeof(double), "ORBITPARAM is twelve doubles");

enum { FRAME_ECL = 0, FRAME_EQU = 1 };

// ---- Keys and mouse events ----
// Keyboard scan codes of the letters the module's controls use.
enum {
    OAPI_KEY_P = 0x19,
    OAPI_KEY_A = 0x1E,
    OAPI_KEY_K = 0x25,
    OAPI_KEY_V = 0x2F,
    OAPI_KEY_B = 0x30,
    OAPI_KEY_N = 0x31,
    OAPI_KEY_M = 0x32
};
// Event bit of a display button: it went down.
enum { PANEL_MOUSE_LBDOWN = 0x01 };

// ---- Thrusters and navigation ----
// A fixed underlying type: the host knows more groups than these three, and any
// int the caller passes is a valid value to refuse, not undefined behaviour.
enum THGROUP_TYPE : int { THGROUP_MAIN = 0, THGROUP_RETRO = 1, THGROUP_HOVER = 2 };

enum {
    NAVMODE_KILLROT = 1,
    NAVMODE_HLEVEL = 2,
    NAVMODE_PROGRADE = 3,
    NAVMODE_RETROGRADE = 4,
    NAVMODE_NORMAL = 5,
    NAVMODE_ANTINORMAL = 6,
    NAVMODE_HOLDALT = 7
};

// ---- MFD modes ----
// The message procedure's result and parameters are pointer-sized: the result
// of message OAPI_MSG_MFD_OPENED carries a pointer to the new display object.
using OAPI_MSGTYPE = std::intptr_t;
using MFD_MSGPROC = OAPI_MSGTYPE (*)(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam);

// Sent to a mode's message procedure to ask for a new display object, lparam
// being the VESSEL* of the display's vessel. The host sends OPENEDEX first, with
// wparam a pointer to an MFDMODEOPENSPEC; only when that gives 0 back does it
// send OPENED, with the width in the low and the height in the high 16 bits of
// wparam (pixels).
enum { OAPI_MSG_MFD_OPENED = 1, OAPI_MSG_MFD_OPENEDEX = 4 };

struct MFDMODESPEC {
    char* name;  // only read by the host
    DWORD key;   // keyboard scan code that selects the mode
    MFD_MSGPROC msgproc;
};

// A registered mode as the host keeps it; context is null for a mode
// registered through MFDMODESPEC.
struct MFDMODESPECEX {
    char* name;
    DWORD key;
    void* context;
    MFD_MSGPROC msgproc;
};

struct MFDMODEOPENSPEC {
    int w, h;  // display size (pixels)
    MFDMODESPECEX* spec;
};

// Packed as the host packs it: 17 bytes on a 64-bit system.
#pragma pack(push, 1)
struct MFDBUTTONMENU {
    const char* line1;
    const char* line2;
    char selchar;
};
#pragma pack(pop)

// Input box callback: (box id, entered text, user data); false refuses the entry.
using InputBoxCallback = bool (*)(void* id, char* text, void* usrdata);

class VESSEL;
namespace simhost {
class Display;
}

// ---- Host functions ----
OAPIFUNC void InitLib(HINSTANCE hModule);
// "Mmm dd yyyy" -> (yyyy mod 100)*10000 + month*100 + dd; 0 for any other text.
OAPIFUNC int Date2Int(const char* date);

OAPIFUNC int oapiRegisterMFDMode(MFDMODESPEC& modeSpec);
OAPIFUNC bool oapiUnregisterMFDMode(int mode);

// Name lookups ignore letter case. GetObjectByName finds bodies and vessels,
// GetGbodyByName bodies only, GetVesselByName vessels only.
OAPIFUNC OBJHANDLE oapiGetObjectByName(char* name);
OAPIFUNC OBJHANDLE oapiGetGbodyByName(char* name);
OAPIFUNC OBJHANDLE oapiGetVesselByName(char* name);
// The interface of a vessel handle; null for null or for a body.
OAPIFUNC VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel);
OAPIFUNC OBJHANDLE oapiGetFocusObject();
// Copies at most n-1 characters of the object's name and a terminator.
OAPIFUNC void oapiGetObjectName(OBJHANDLE hObj, char* name, int n);

// The texts the host takes as char* it only reads.
OAPIFUNC void oapiOpenInputBox(char* title, InputBoxCallback callback, char* initialText = nullptr,
                               int visibleLength = 20, void* usrdata = nullptr);

// Each item on a line of its own: two spaces, the item, one space, the value.
// A double is written with six decimals, trailing zeros cut but one kept after
// the point (250000.0, 0.1).
OAPIFUNC void oapiWriteScenario_int(FILEHANDLE scn, char* item, int value);
OAPIFUNC void oapiWriteScenario_float(FILEHANDLE scn, char* item, double value);
OAPIFUNC void oapiWriteScenario_string(FILEHANDLE scn, char* item, char* value);
// Hands back the next line of the scenario, trimmed. False at a line END (any
// letter case) or at the end of the file; a display's END_MFD does not stop it.
OAPIFUNC bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line);

#ifndef _WIN32
// The display text calls; on Windows these are GDI's own.
extern "C" OAPIFUNC COLORREF SetTextColor(HDC hdc, COLORREF color);
extern "C" OAPIFUNC BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length);
#endif

// ---- The vessel interface ----
// One per vessel, owned by the host. Members act on the vessel at once.
class OAPIFUNC VESSEL {
public:
    // fmodel (the flight model) is the host's; the stand-in has one.
    explicit VESSEL(OBJHANDLE hVessel, int fmodel = 1);
    VESSEL(const VESSEL&) = delete;
    VESSEL& operator=(const VESSEL&) = delete;

    OBJHANDLE GetHandle() const { return handle_; }
    char* GetName() const;

    // Navigation modes 1..7; Activate/Deactivate report whether the state changed.
    bool ActivateNavmode(int mode);
    bool DeactivateNavmode(int mode);
    bool GetNavmodeState(int mode);

    // Points: global = R*local + P. Directions: global = R*local.
    void Local2Global(const VECTOR3& local, VECTOR3& global) const;
    void Global2Local(const VECTOR3& global, VECTOR3& local) const;
    void GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const;

    void GetGlobalPos(VECTOR3& pos) const;
    void GetGlobalVel(VECTOR3& vel) const;
    void GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const;  // vessel minus body, global axes
    void GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const;

    // Angles (alpha, beta, gamma) give R = Rx(-alpha)*Ry(-beta)*Rz(-gamma); takes effect at once.
    void SetGlobalOrientation(const VECTOR3& arot) const;
    void GetGlobalOrientation(VECTOR3& arot) const;
    void SetAngularVel(const VECTOR3& avel) const;  // rad/s, vessel axes
    void GetAngularVel(VECTOR3& avel) const;

    // Osculating orbit relative to hRef. Only FRAME_ECL is served; false otherwise
    // or when the orbit cannot be formed (records left untouched).
    bool GetElements(OBJHANDLE hRef, ELEMENTS& el, ORBITPARAM* prm = nullptr, double mjd_ref = 0,
                     int frame = FRAME_ECL) const;

    double GetMass() const;  // empty mass plus all propellant (kg)

    DWORD GetGroupThrusterCount(THGROUP_TYPE group) const;
    THRUSTER_HANDLE GetGroupThruster(THGROUP_TYPE group, DWORD index) const;  // null past the end
    void SetThrusterGroupLevel(THGROUP_TYPE group, double level) const;
    double GetThrusterGroupLevel(THGROUP_TYPE group) const;  // mean level of the group

    PROPELLANT_HANDLE GetThrusterResource(THRUSTER_HANDLE th) const;
    double GetPropellantMass(PROPELLANT_HANDLE ph) const;  // 0 for null
    double GetThrusterMax0(THRUSTER_HANDLE th) const;
    void SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const;
    double GetThrusterIsp(THRUSTER_HANDLE th) const;
    void SetThrusterIsp(THRUSTER_HANDLE th, double isp) const;
    double GetThrusterLevel(THRUSTER_HANDLE th) const;
    void SetThrusterLevel(THRUSTER_HANDLE th, double level) const;

private:
    OBJHANDLE handle_;
};

// ---- Display base classes ----
// Virtual operations in the host's slot order. The host derives the character
// cell cw x ch (pixels) from the display size.
class OAPIFUNC MFD {
public:
    MFD(DWORD w, DWORD h, VESSEL* vessel);
    virtual ~MFD();
    virtual void Update(HDC hDC) = 0;
    virtual bool ConsumeKeyBuffered(DWORD key);
    virtual bool ConsumeKeyImmediate(char* kstate);
    virtual bool ConsumeButton(int bt, int event);
    virtual char* ButtonLabel(int bt);
    virtual int ButtonMenu(const MFDBUTTONMENU** menu) const;
    virtual void WriteStatus(FILEHANDLE scn) const;
    virtual void ReadStatus(FILEHANDLE scn);
    virtual void StoreStatus() const;
    virtual void RecallStatus();

    // Asks the host to redraw this display.
    void InvalidateDisplay();

protected:
    void Title(HDC hDC, const char* title) const;
    HFONT SelectDefaultFont(HDC hDC, DWORD i) const;

    DWORD W, H;    // display size (pixels)
    DWORD cw, ch;  // character cell (pixels), set by the host after construction
    VESSEL* pV;

private:
    friend class simhost::Display;  // gives the object its character cell
};

class OAPIFUNC GraphMFD : public MFD {
public:
    GraphMFD(DWORD w, DWORD h, VESSEL* vessel);
    ~GraphMFD() override;
};
