#include "sim/pictures/page_view.h"

#include <algorithm>

namespace zolksim {

PageView capturePage(simhost::Display& display) {
    PageView page;
    page.position = display.position();
    page.display = &display;
    if (display.mode()) page.modeName = display.mode()->name;
    page.width = static_cast<int>(display.width());
    page.height = static_cast<int>(display.height());
    page.cellWidth = static_cast<int>(simhost::characterCell(display.width(), simhost::kDisplayColumns));
    page.cellHeight = static_cast<int>(simhost::characterCell(display.height(), simhost::kDisplayRows));
    if (display.object()) {
        const auto& surface = display.redraw();
        page.texts = surface.texts;
        page.hasTitle = surface.hasTitle;
        page.title = surface.title;
        for (int i = 0; i < kButtonCount; ++i)
            if (const char* label = display.buttonLabel(i)) page.buttonLabels[i] = label;
    }
    return page;
}

std::string valueBelow(const PageView& page, const std::string& label) {
    const auto found = std::find_if(page.texts.begin(), page.texts.end(),
                                    [&](const simhost::TextItem& t) { return t.text == label; });
    if (found == page.texts.end()) return {};
    const simhost::TextItem* best = nullptr;
    for (const simhost::TextItem& t : page.texts)
        if (t.x == found->x && t.y > found->y && (!best || t.y < best->y)) best = &t;
    return best ? best->text : std::string{};
}

}  // namespace zolksim
