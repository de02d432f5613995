// What a display's page drew: every text (pixel position, colour, characters)
// in drawing order, the title and the font selections. On platforms without
// GDI this record is itself the device context the page draws on; on Windows
// the page draws with GDI and the host reads the record back from a metafile
// of the same drawing.
#pragma once

#include <string>
#include <vector>

#include "frame/host_api.h"

namespace simhost {

struct TextItem {
    int x, y;        // pixels from the display's top-left corner
    COLORREF color;  // 0x00BBGGRR
    std::string text;
};

// What the host itself draws in a display.
constexpr COLORREF kTitleColor = 0x00E0E0E0;   // pale grey
constexpr COLORREF kDefaultTextColor = 0x00FFFFFF;

struct PageRecord {
    COLORREF color = kDefaultTextColor;  // for the next text
    std::vector<TextItem> texts;         // TextOutA calls, in order
    TextItem title{};                    // the last title drawn
    bool hasTitle = false;
    int fontSelections = 0;              // SelectDefaultFont calls
    int lastFont = -1;                   // the font index last selected

    void clear() { *this = PageRecord{}; }
};

// The title as the host places it: top left, half a character in from the
// side and a quarter down from the top, so that its glyphs stand whole inside
// the screen whatever font shows them.
inline TextItem titleItem(DWORD charWidth, DWORD charHeight, const char* title) {
    return TextItem{static_cast<int>(charWidth / 2), static_cast<int>(charHeight / 4), kTitleColor, title ? title : ""};
}

}  // namespace simhost

#ifndef _WIN32
// A device context, as the host hands it to a display's Update: the record itself.
struct HDC__ : simhost::PageRecord {};
#endif
