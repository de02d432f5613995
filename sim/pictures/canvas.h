// A surface to draw the run's pictures on, in pixels from the top-left corner.
// The SVG writer and the raster backend implement it, so each picture is
// drawn once for both.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "frame/host_api.h"

namespace zolksim {

struct PageView;

struct Rgb {
    std::uint8_t r, g, b;
};

// A host colour, 0x00BBGGRR.
constexpr Rgb rgbOf(COLORREF color) {
    return {static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
            static_cast<std::uint8_t>((color >> 16) & 0xFF)};
}

struct Point {
    double x, y;
};

enum class Anchor { Start, Middle, End };

struct Font {
    double size;             // px: the height of a line
    double cellWidth = 0.0;  // px per character on a fixed grid; 0 for the font's own
    Anchor anchor = Anchor::Start;
    bool bold = false;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void fillRect(double x, double y, double w, double h, Rgb color, double opacity = 1.0) = 0;
    virtual void strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) = 0;
    virtual void line(Point from, Point to, Rgb color, double lineWidth) = 0;
    virtual void polyline(const std::vector<Point>& points, Rgb color, double lineWidth) = 0;
    // Monospaced text whose line begins at top (its cell's upper edge), x at
    // the anchor.
    virtual void text(double x, double top, std::string_view text, Rgb color, const Font& font) = 0;
    // Copies the pixels the host drew for the page's display to (x, y), where
    // the canvas can reach them; false to have the page's texts drawn instead.
    virtual bool copyScreen(const PageView& page, double x, double y) { (void)page, (void)x, (void)y; return false; }
};

// The page draws ASCII; any other byte is shown as '?'.
constexpr char shownChar(char c) { return (c >= 0x20 && c < 0x7F) ? c : '?'; }

// The share of a line's height above the baseline, for fonts placed by their top.
constexpr double kAscentShare = 0.8;

}  // namespace zolksim
