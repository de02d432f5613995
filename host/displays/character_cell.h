// The character cell of a display: the host's display font gives every display
// kDisplayColumns x kDisplayRows characters.
#pragma once

#include "frame/host_api.h"

namespace simhost {

constexpr DWORD kDisplayColumns = 36;
constexpr DWORD kDisplayRows = 24;

// Cell width (of `pixels` across, kDisplayColumns cells) or height (kDisplayRows
// cells), in pixels; at least one.
constexpr DWORD characterCell(DWORD pixels, DWORD cells) { return pixels / cells > 0 ? pixels / cells : 1; }

}  // namespace simhost
