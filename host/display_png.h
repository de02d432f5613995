// A display's pixels as a PNG picture (Windows, where the page is drawn with GDI).
#pragma once

#include <string>

#include "host/cockpit.h"

namespace simhost {

#ifdef _WIN32
// Writes the pixels of the display's last redraw, 8-bit RGB. False with the
// reason in error when there are no pixels or the file cannot be written.
OAPIFUNC bool writeDisplayPng(const Display& display, const std::string& path, std::string& error);
#endif

}  // namespace simhost
