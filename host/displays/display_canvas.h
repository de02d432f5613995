// A display's pixels on Windows: a GDI memory device context over a 32-bit
// top-down DIB section of the display's size, with the display's font.
#pragma once

#include <cstdint>

#include "frame/host_api.h"

namespace simhost {

// Where nothing is drawn.
constexpr COLORREF kBackgroundColor = 0x00000000;  // black

class OAPIFUNC DisplayCanvas {
public:
    DisplayCanvas(DWORD width, DWORD height);
    DisplayCanvas(const DisplayCanvas&) = delete;
    DisplayCanvas& operator=(const DisplayCanvas&) = delete;
    ~DisplayCanvas();

    // Null when GDI could not make the canvas (a display of no pixels).
    HDC dc() const { return dc_; }
    // Fixed pitch; as tall as a character cell and at most as wide as one.
    HFONT font() const { return font_; }
    DWORD width() const { return width_; }
    DWORD height() const { return height_; }

    // Background everywhere; the default text colour on a transparent text
    // background, the display's font selected.
    void clear();
    // Prepares another device context (a metafile's) as clear() prepares this one.
    void prepare(HDC dc) const;

    // The pixels as the last drawing left them, once GDI has flushed its batch.
    // One pixel as 0x00BBGGRR; the background outside the display.
    COLORREF colorAt(int x, int y) const;
    // Row y, width() pixels of 4 bytes each in the order blue, green, red, unused.
    const std::uint8_t* row(DWORD y) const;

private:
    DWORD width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    std::uint8_t* pixels_ = nullptr;  // owned by the DIB section
};

}  // namespace simhost
