// The page's six controls: two switches and four input boxes, each reachable
// by a display button and by its key. The three tables are parallel, in
// button order.
#pragma once

#include "frame/host_api.h"

constexpr int kButtonCount = 6;

// Keyboard scan codes.
constexpr DWORD kKeyAttitudeHold = 0x1E;  // A
constexpr DWORD kKeyReferenceBody = 0x2F; // V
constexpr DWORD kKeyVessel = 0x30;        // B
constexpr DWORD kKeyThrust = 0x31;        // N
constexpr DWORD kKeyIsp = 0x32;           // M
constexpr DWORD kKeyAutoBurn = 0x25;      // K

extern const char* const ButtonLabels[kButtonCount];
extern const DWORD ButtonKeys[kButtonCount];
extern const MFDBUTTONMENU ButtonMenuEntries[kButtonCount];

// The length argument with which the boxes are opened.
constexpr int kInputBoxLength = 30;
