// The raster canvas drawn with GDI into a DIB section (Windows), written as
// PNG by the host's writer. A page's screen is copied from the pixels the host's
// display drew, so the picture shows exactly what GDI drew there.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/displays/displays.h"
#include "host/displays/display_png.h"
#include "sim/pictures/raster_canvas.h"

namespace zolksim {

struct RasterCanvas::Surface {
    int width = 0, height = 0;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;
    std::uint8_t* pixels = nullptr;  // blue, green, red, unused; rows top down
};

namespace {

int px(double v) { return static_cast<int>(std::lround(v)); }

COLORREF colorOf(Rgb c) { return RGB(c.r, c.g, c.b); }

// Selects a pen for the duration of a drawing call.
class PenScope {
public:
    PenScope(HDC dc, Rgb color, double width)
        : dc_(dc), pen_(CreatePen(PS_SOLID, std::max(1, px(width)), colorOf(color))), old_(SelectObject(dc, pen_)) {}
    ~PenScope() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_;
};

}  // namespace

RasterCanvas::RasterCanvas(int width, int height) : surface_(std::make_unique<Surface>()) {
    Surface& s = *surface_;
    s.width = std::max(width, 1);
    s.height = std::max(height, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = s.width;
    info.bmiHeader.biHeight = -s.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    s.dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    s.bitmap = CreateDIBSection(s.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    s.pixels = static_cast<std::uint8_t*>(bits);
    if (s.bitmap) s.original = SelectObject(s.dc, s.bitmap);
    SetBkMode(s.dc, TRANSPARENT);
}

RasterCanvas::~RasterCanvas() {
    Surface& s = *surface_;
    if (s.original) SelectObject(s.dc, s.original);
    if (s.bitmap) DeleteObject(s.bitmap);
    if (s.dc) DeleteDC(s.dc);
}

void RasterCanvas::fillRect(double x, double y, double w, double h, Rgb color, double opacity) {
    Surface& s = *surface_;
    if (!s.pixels) return;
    const int left = std::clamp(px(x), 0, s.width), right = std::clamp(px(x + w), 0, s.width);
    const int top = std::clamp(px(y), 0, s.height), bottom = std::clamp(px(y + h), 0, s.height);
    if (opacity >= 1.0) {
        const RECT rect{left, top, std::max(right, left + 1), std::max(bottom, top + 1)};
        HBRUSH brush = CreateSolidBrush(colorOf(color));
        FillRect(s.dc, &rect, brush);
        DeleteObject(brush);
        return;
    }
    // GDI has no translucent fill: blend into the pixels.
    GdiFlush();
    const auto blend = [opacity](std::uint8_t under, std::uint8_t over) {
        return static_cast<std::uint8_t>(std::lround(under + (over - under) * opacity));
    };
    for (int row = top; row < std::max(bottom, top + 1) && row < s.height; ++row) {
        std::uint8_t* p = s.pixels + (static_cast<std::size_t>(row) * s.width + left) * 4;
        for (int col = left; col < std::max(right, left + 1) && col < s.width; ++col, p += 4) {
            p[0] = blend(p[0], color.b);
            p[1] = blend(p[1], color.g);
            p[2] = blend(p[2], color.r);
        }
    }
}

void RasterCanvas::strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) {
    polyline({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}}, color, lineWidth);
}

void RasterCanvas::line(Point from, Point to, Rgb color, double lineWidth) { polyline({from, to}, color, lineWidth); }

void RasterCanvas::polyline(const std::vector<Point>& points, Rgb color, double lineWidth) {
    if (points.size() < 2) return;
    std::vector<POINT> gdiPoints;
    gdiPoints.reserve(points.size());
    for (const Point& p : points) gdiPoints.push_back({px(p.x), px(p.y)});
    PenScope pen(surface_->dc, color, lineWidth);
    Polyline(surface_->dc, gdiPoints.data(), static_cast<int>(gdiPoints.size()));
}

void RasterCanvas::text(double x, double top, std::string_view text, Rgb color, const Font& font) {
    if (text.empty()) return;
    HDC dc = surface_->dc;
    std::string shown;
    for (const char c : text) shown += shownChar(c);
    HFONT face = CreateFontA(-px(font.size), font.cellWidth > 0.0 ? px(font.cellWidth) : 0, 0, 0,
                             font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    const HGDIOBJ old = SelectObject(dc, face);
    const UINT align = font.anchor == Anchor::Middle ? TA_CENTER : font.anchor == Anchor::End ? TA_RIGHT : TA_LEFT;
    SetTextAlign(dc, align | TA_BASELINE);
    SetTextColor(dc, colorOf(color));
    TextOutA(dc, px(x), px(top + font.size * kAscentShare), shown.c_str(), static_cast<int>(shown.size()));
    SelectObject(dc, old);
    DeleteObject(face);
}

bool RasterCanvas::copyScreen(const PageView& page, double x, double y) {
    if (!page.display || !page.display->canvas().dc()) return false;
    return BitBlt(surface_->dc, px(x), px(y), page.width, page.height, page.display->canvas().dc(), 0, 0, SRCCOPY) != 0;
}

bool RasterCanvas::writePng(const std::string& path, std::string& error) const {
    const Surface& s = *surface_;
    if (!s.pixels) {
        error = path + ": no picture to write (GDI made no bitmap)";
        return false;
    }
    GdiFlush();
    if (!simhost::writeBgrxPng(path, s.width, s.height, s.pixels)) {
        error = path + ": cannot write the picture";
        return false;
    }
    return true;
}

}  // namespace zolksim
