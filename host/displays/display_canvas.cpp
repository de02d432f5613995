#include "host/displays/display_canvas.h"

#include "host/displays/character_cell.h"
#include "host/displays/text_surface.h"

namespace simhost {

namespace {

constexpr int kBytesPerPixel = 4;

HFONT createFont(int height, int width) {
    return CreateFontA(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
}

// The cell height, and the face's own width for it unless that is wider than
// the cell: the page's longest label, 36 characters from half a cell in, then
// stays on a display of 36 columns.
HFONT displayFont(HDC dc, DWORD width, DWORD height) {
    const int cellWidth = static_cast<int>(characterCell(width, kDisplayColumns));
    const int cellHeight = static_cast<int>(characterCell(height, kDisplayRows));
    HFONT font = createFont(cellHeight, 0);
    if (!font) return nullptr;
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    const bool measured = GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    if (measured && metrics.tmAveCharWidth > cellWidth) {
        DeleteObject(font);
        font = createFont(cellHeight, cellWidth);
    }
    return font;
}

}  // namespace

DisplayCanvas::DisplayCanvas(DWORD width, DWORD height) : width_(width), height_(height) {
    if (width == 0 || height == 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // negative: top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8 * kBytesPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = bitmap_ ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc_) return;
    pixels_ = static_cast<std::uint8_t*>(bits);
    originalBitmap_ = SelectObject(dc_, bitmap_);
    font_ = displayFont(dc_, width, height);
    if (font_) originalFont_ = SelectObject(dc_, font_);
    clear();
}

DisplayCanvas::~DisplayCanvas() {
    if (dc_) {
        if (originalFont_) SelectObject(dc_, originalFont_);
        SelectObject(dc_, originalBitmap_);
        DeleteDC(dc_);
    }
    if (font_) DeleteObject(font_);
    if (bitmap_) DeleteObject(bitmap_);
}

void DisplayCanvas::clear() {
    if (!dc_) return;
    prepare(dc_);
    const RECT all{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
    HBRUSH background = CreateSolidBrush(kBackgroundColor);
    FillRect(dc_, &all, background);
    DeleteObject(background);
}

void DisplayCanvas::prepare(HDC dc) const {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(dc, kDefaultTextColor);
    if (font_) SelectObject(dc, font_);
}

COLORREF DisplayCanvas::colorAt(int x, int y) const {
    if (!pixels_ || x < 0 || y < 0 || static_cast<DWORD>(x) >= width_ || static_cast<DWORD>(y) >= height_)
        return kBackgroundColor;
    const std::uint8_t* pixel = row(static_cast<DWORD>(y)) + static_cast<std::size_t>(x) * kBytesPerPixel;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

const std::uint8_t* DisplayCanvas::row(DWORD y) const {
    return pixels_ + static_cast<std::size_t>(y) * width_ * kBytesPerPixel;
}

}  // namespace simhost
