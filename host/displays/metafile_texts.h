// The texts a drawing puts on a device context, learnt by drawing it into an
// enhanced metafile and reading the metafile's records back.
#pragma once

#include <functional>
#include <vector>

#include "host/displays/display_canvas.h"
#include "host/displays/text_surface.h"

namespace simhost {

// Runs draw on a metafile device context prepared like the canvas's own and
// gives back each text drawn (position, colour, characters) in drawing order.
std::vector<TextItem> metafileTexts(const DisplayCanvas& canvas, const std::function<void(HDC)>& draw);

}  // namespace simhost
