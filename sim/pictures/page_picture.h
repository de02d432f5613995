// The page as a cockpit display: the screen with its texts at their pixel
// positions and colours, framed by a bezel carrying the buttons and their labels.
#pragma once

#include "sim/pictures/canvas.h"
#include "sim/pictures/page_view.h"

namespace zolksim {

struct PictureSize {
    int width, height;  // px
};

PictureSize pagePictureSize(const PageView& page);
void drawPagePicture(const PageView& page, Canvas& canvas);

}  // namespace zolksim
