// The page's six controls: two switches and four input boxes, each reachable
// by a display button and by its key. The three tables are parallel, in
// button order.
#pragma once

#include "frame/host_compat.h"

constexpr int kButtonCount = 6;

constexpr DWORD kKeyAttitudeHold = OAPI_KEY_A;
constexpr DWORD kKeyReferenceBody = OAPI_KEY_V;
constexpr DWORD kKeyVessel = OAPI_KEY_B;
constexpr DWORD kKeyThrust = OAPI_KEY_N;
constexpr DWORD kKeyIsp = OAPI_KEY_M;
constexpr DWORD kKeyAutoBurn = OAPI_KEY_K;

// Writable only because the host's ButtonLabel hands out char*; never written.
extern char ButtonLabels[kButtonCount][4];
extern const DWORD ButtonKeys[kButtonCount];
extern const MFDBUTTONMENU ButtonMenuEntries[kButtonCount];

// The length argument with which the boxes are opened.
constexpr int kInputBoxLength = 30;
