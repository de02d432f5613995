// The text surface behind a display's device context on platforms without GDI:
// it records every text drawn (pixel position, colour, characters) in order.
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

}  // namespace simhost

#ifndef _WIN32
// A device context, as the host hands it to a display's Update.
struct HDC__ {
    COLORREF color = simhost::kDefaultTextColor;  // for the next text
    std::vector<simhost::TextItem> texts;         // TextOutA calls, in order
    simhost::TextItem title{};                    // the last title drawn
    bool hasTitle = false;
    int fontSelections = 0;                       // SelectDefaultFont calls
    int lastFont = -1;                            // the font index last selected

    void clear() { *this = HDC__{}; }
};
#endif
