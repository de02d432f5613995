#include "sim/pictures/page_picture.h"

#include <algorithm>

namespace zolksim {

namespace {

constexpr double kSide = 96.0;   // bezel beside the screen, px: buttons and labels
constexpr double kEdge = 28.0;   // bezel above and below the screen, px
constexpr double kButtonWidth = 26.0, kButtonHeight = 18.0;

constexpr Rgb kBezel{0x2a, 0x2c, 0x30};
constexpr Rgb kBezelEdge{0x4a, 0x4d, 0x52};
constexpr Rgb kScreen{0x00, 0x0a, 0x04};
constexpr Rgb kButton{0x5a, 0x5e, 0x66};
constexpr Rgb kLabel{0xd8, 0xd8, 0xd0};

}  // namespace

PictureSize pagePictureSize(const PageView& page) {
    return {page.width + 2 * static_cast<int>(kSide), page.height + 2 * static_cast<int>(kEdge)};
}

void drawPagePicture(const PageView& page, Canvas& canvas) {
    const PictureSize size = pagePictureSize(page);
    canvas.fillRect(0, 0, size.width, size.height, kBezel);
    canvas.strokeRect(1, 1, size.width - 2, size.height - 2, kBezelEdge, 2.0);

    const double screenLeft = kSide, screenTop = kEdge;
    canvas.fillRect(screenLeft, screenTop, page.width, page.height, kScreen);
    canvas.strokeRect(screenLeft - 1, screenTop - 1, page.width + 2, page.height + 2, kBezelEdge, 2.0);

    // The host's own pixels where the canvas can take them; else the host's
    // texts, each line starting at its pixel position on the fixed grid.
    if (!canvas.copyScreen(page, screenLeft, screenTop)) {
        const Font grid{static_cast<double>(page.cellHeight), static_cast<double>(page.cellWidth)};
        if (page.hasTitle)
            canvas.text(screenLeft + page.title.x, screenTop + page.title.y, page.title.text, rgbOf(page.title.color),
                        grid);
        for (const simhost::TextItem& item : page.texts)
            canvas.text(screenLeft + item.x, screenTop + item.y, item.text, rgbOf(item.color), grid);
    }

    // Buttons down both sides; a label sits between its button and the screen.
    const Font labelFont{std::clamp(page.cellHeight * 0.8, 9.0, 16.0), 0.0, Anchor::Start, true};
    for (int i = 0; i < kButtonCount; ++i) {
        const bool left = i < 6;
        const double centre = screenTop + page.height * buttonCentreShare(i);
        const double buttonX = left ? 6.0 : size.width - 6.0 - kButtonWidth;
        canvas.fillRect(buttonX, centre - kButtonHeight / 2, kButtonWidth, kButtonHeight, kButton);
        canvas.strokeRect(buttonX, centre - kButtonHeight / 2, kButtonWidth, kButtonHeight, kBezelEdge, 1.0);
        if (page.buttonLabels[i].empty()) continue;
        Font font = labelFont;
        font.anchor = left ? Anchor::Start : Anchor::End;
        const double labelX = left ? buttonX + kButtonWidth + 6.0 : buttonX - 6.0;
        canvas.text(labelX, centre - font.size / 2, page.buttonLabels[i], kLabel, font);
    }

    const Font caption{11.0, 0.0, Anchor::Middle};
    canvas.text(size.width / 2.0, screenTop + page.height + 8.0, page.position + " display: " + page.modeName,
                kLabel, caption);
}

}  // namespace zolksim
