// One display's page as drawn at a moment: what the pictures and the terminal
// show of it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/displays/displays.h"
#include "host/displays/text_surface.h"

namespace zolksim {

constexpr int kButtonCount = 12;  // six down each side of the screen

struct PageView {
    std::string position;
    std::string modeName;
    int width = 0, height = 0;          // screen, px
    int cellWidth = 1, cellHeight = 1;  // px per character
    std::vector<simhost::TextItem> texts;
    bool hasTitle = false;
    simhost::TextItem title{};
    std::array<std::string, kButtonCount> buttonLabels;  // empty: no label
    const simhost::Display* display = nullptr;            // what drew it, while it stays open
};

// Draws the display's page afresh and takes it down.
PageView capturePage(simhost::Display& display);

// The height of button i's centre as a share of the screen's: buttons 0-5 down
// the left side, 6-11 down the right.
constexpr double buttonCentreShare(int index) { return 0.125 + 0.15 * (index % 6); }

// The text that the page draws nearest below the text `label` in its column
// (the value that belongs to the label); empty when there is none.
std::string valueBelow(const PageView& page, const std::string& label);

}  // namespace zolksim
