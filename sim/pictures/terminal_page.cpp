#include "sim/pictures/terminal_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "sim/pictures/canvas.h"

namespace zolksim {

namespace {

constexpr int kLabelWidth = 5;  // columns beside the frame for a button label

struct Cell {
    char character = ' ';
    COLORREF color = 0;
};

std::string foreground(COLORREF color) {
    const Rgb c = rgbOf(color);
    char text[24];
    std::snprintf(text, sizeof text, "\x1b[38;2;%d;%d;%dm", c.r, c.g, c.b);
    return text;
}

const char* const kScreenBackground = "\x1b[48;2;0;10;4m";
const char* const kReset = "\x1b[0m";

// A label cut or padded to the margin, flush against the frame.
std::string marginLabel(const std::string& label, bool left) {
    std::string text = label.substr(0, kLabelWidth - 1);
    const std::string pad(static_cast<std::size_t>(kLabelWidth - 1) - text.size(), ' ');
    return left ? pad + text + ' ' : ' ' + text + pad;
}

}  // namespace

std::string terminalPage(const PageView& page, bool colour) {
    const int columns = std::max(1, page.width / page.cellWidth);
    const int rows = std::max(1, page.height / page.cellHeight);
    std::vector<std::vector<Cell>> grid(static_cast<std::size_t>(rows), std::vector<Cell>(static_cast<std::size_t>(columns)));

    // Each text starts at the cell nearest its pixel position; what runs past
    // the screen's edge is cut off, as on the display.
    const auto place = [&](const simhost::TextItem& item) {
        const long row = std::lround(static_cast<double>(item.y) / page.cellHeight);
        long column = std::lround(static_cast<double>(item.x) / page.cellWidth);
        if (row < 0 || row >= rows) return;
        for (const char c : item.text) {
            if (column >= 0 && column < columns)
                grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = {shownChar(c), item.color};
            ++column;
        }
    };
    if (page.hasTitle) place(page.title);
    for (const simhost::TextItem& item : page.texts) place(item);

    std::vector<std::string> leftLabels(static_cast<std::size_t>(rows)), rightLabels(static_cast<std::size_t>(rows));
    for (int i = 0; i < kButtonCount; ++i) {
        const int row = static_cast<int>(buttonCentreShare(i) * rows);
        if (row < rows) (i < 6 ? leftLabels : rightLabels)[static_cast<std::size_t>(row)] = page.buttonLabels[i];
    }

    const std::string border = std::string(kLabelWidth, ' ') + "+" + std::string(static_cast<std::size_t>(columns), '-') + "+\n";
    std::string out = border;
    for (int row = 0; row < rows; ++row) {
        out += marginLabel(leftLabels[static_cast<std::size_t>(row)], true) + "|";
        if (colour) out += kScreenBackground;
        COLORREF current = ~COLORREF{0};
        for (const Cell& cell : grid[static_cast<std::size_t>(row)]) {
            if (colour && cell.character != ' ' && cell.color != current) {
                out += foreground(cell.color);
                current = cell.color;
            }
            out += cell.character;
        }
        if (colour) out += kReset;
        out += '|';
        out += marginLabel(rightLabels[static_cast<std::size_t>(row)], false);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += "\n";
    }
    return out + border;
}

}  // namespace zolksim
