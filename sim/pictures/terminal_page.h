// The page printed on a terminal: the host's texts laid out on the display's
// character grid, in their colours when the terminal shows colour, with the
// button labels beside the frame.
#pragma once

#include <string>

#include "sim/pictures/page_view.h"

namespace zolksim {

std::string terminalPage(const PageView& page, bool colour);

}  // namespace zolksim
