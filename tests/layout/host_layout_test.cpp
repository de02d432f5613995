// The host's structs and constants as the module relies on them: sizes, member
// offsets and values. Compiled against the project's frame/host_api.h in every
// build, and against the simulator's own kit in the kit's compile check
// (scripts/check-host-sdk) and in the simulator's ABI for both widths (presets
// host-abi, host-abi-x86), so that a compiled module means both agree with
// these figures, and so with each other. Nothing runs: the checks are the compile.
#include <cstddef>

#include "frame/host_compat.h"
#include "mfd/controls.h"
#include "mfd/mode_registration.h"

namespace {

// Pointers are 8 bytes on 64-bit systems, 4 on the simulator's 32-bit builds;
// the figures that hold pointers follow from it.
constexpr std::size_t P = sizeof(void*);
static_assert(P == 8 || P == 4);

// Vectors and orbits.
static_assert(sizeof(VECTOR3) == 24);
static_assert(offsetof(VECTOR3, x) == 0 && offsetof(VECTOR3, y) == 8 && offsetof(VECTOR3, z) == 16);
static_assert(sizeof(ELEMENTS) == 48);
static_assert(offsetof(ELEMENTS, a) == 0 && offsetof(ELEMENTS, e) == 8 && offsetof(ELEMENTS, i) == 16 &&
              offsetof(ELEMENTS, theta) == 24 && offsetof(ELEMENTS, omegab) == 32 && offsetof(ELEMENTS, L) == 40);
static_assert(sizeof(ORBITPARAM) == 96);
static_assert(offsetof(ORBITPARAM, T) == 72 && offsetof(ORBITPARAM, PeT) == 80);
static_assert(offsetof(ORBITPARAM, SMi) == 0 && offsetof(ORBITPARAM, ApT) == 88);
static_assert(FRAME_ECL == 0);

// Display modes: the mode record handed to the host, the button menu, the
// messages and the size the host hands to the message procedure.
static_assert(sizeof(MFDMODESPEC) == 3 * P);
static_assert(offsetof(MFDMODESPEC, name) == 0 && offsetof(MFDMODESPEC, key) == P &&
              offsetof(MFDMODESPEC, msgproc) == 2 * P);
static_assert(sizeof(MFDBUTTONMENU) == 2 * P + 1);  // packed to one byte
static_assert(offsetof(MFDBUTTONMENU, line1) == 0 && offsetof(MFDBUTTONMENU, line2) == P &&
              offsetof(MFDBUTTONMENU, selchar) == 2 * P);
static_assert(sizeof(MFDMODEOPENSPEC) == 8 + P);
static_assert(offsetof(MFDMODEOPENSPEC, w) == 0 && offsetof(MFDMODEOPENSPEC, h) == 4 &&
              offsetof(MFDMODEOPENSPEC, spec) == 8);
static_assert(OAPI_MSG_MFD_OPENED == 1 && OAPI_MSG_MFD_OPENEDEX == 4);
static_assert(sizeof(OAPI_MSGTYPE) == P && sizeof(WPARAM) == P && sizeof(LPARAM) == P);
static_assert(sizeof(DWORD) == 4 && sizeof(UINT) == 4);
static_assert(PANEL_MOUSE_LBDOWN == 0x01);

// Keyboard scan codes of the mode key and the six controls.
static_assert(OAPI_KEY_P == 0x19 && kModeKey == 0x19);
static_assert(OAPI_KEY_A == 0x1E && OAPI_KEY_V == 0x2F && OAPI_KEY_B == 0x30 && OAPI_KEY_N == 0x31 &&
              OAPI_KEY_M == 0x32 && OAPI_KEY_K == 0x25);

// Thrusters and navigation modes.
static_assert(THGROUP_MAIN == 0);
static_assert(sizeof(THGROUP_TYPE) == 4);
static_assert(NAVMODE_KILLROT == 1 && NAVMODE_HLEVEL == 2 && NAVMODE_PROGRADE == 3 && NAVMODE_RETROGRADE == 4 &&
              NAVMODE_NORMAL == 5 && NAVMODE_ANTINORMAL == 6 && NAVMODE_HOLDALT == 7);

// The handles are pointers.
static_assert(sizeof(OBJHANDLE) == P && sizeof(THRUSTER_HANDLE) == P && sizeof(PROPELLANT_HANDLE) == P &&
              sizeof(FILEHANDLE) == P);

}  // namespace
