// A display's pixels as a PNG picture (Windows, where the page is drawn with GDI).
#pragma once

#include <cstdint>
#include <string>

#include "host/displays/displays.h"

namespace simhost {

#ifdef _WIN32
// Writes the pixels of the display's last redraw, 8-bit RGB. False with the
// reason in error when there are no pixels or the file cannot be written.
OAPIFUNC bool writeDisplayPng(const Display& display, const std::string& path, std::string& error);
// Writes width x height pixels as 8-bit RGB PNG. The pixels are a 32-bit
// top-down DIB's: rows of width pixels, 4 bytes each in the order blue,
// green, red, unused, with nothing between rows. False when it cannot be written.
OAPIFUNC bool writeBgrxPng(const std::string& path, int width, int height, const std::uint8_t* pixels);
#endif

}  // namespace simhost
