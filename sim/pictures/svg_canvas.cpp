#include "sim/pictures/svg_canvas.h"

#include <charconv>
#include <cstdio>

namespace zolksim {

namespace {

// Numbers in the shortest form that reads back the same, "12.5" not "12.500000".
std::string num(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc{} ? std::string(text, end) : "0";
}

std::string colour(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += shownChar(c);
        }
    }
    return out;
}

SvgCanvas::SvgCanvas(int width, int height) {
    body_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
            num(width) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) + " " + num(height) +
            "\">\n";
}

void SvgCanvas::fillRect(double x, double y, double w, double h, Rgb color, double opacity) {
    body_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
             "\" fill=\"" + colour(color) + "\"";
    if (opacity < 1.0) body_ += " fill-opacity=\"" + num(opacity) + "\"";
    body_ += "/>\n";
}

void SvgCanvas::strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) {
    body_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
             "\" fill=\"none\" stroke=\"" + colour(color) + "\" stroke-width=\"" + num(lineWidth) + "\"/>\n";
}

void SvgCanvas::line(Point from, Point to, Rgb color, double lineWidth) {
    body_ += "<line x1=\"" + num(from.x) + "\" y1=\"" + num(from.y) + "\" x2=\"" + num(to.x) + "\" y2=\"" +
             num(to.y) + "\" stroke=\"" + colour(color) + "\" stroke-width=\"" + num(lineWidth) + "\"/>\n";
}

void SvgCanvas::polyline(const std::vector<Point>& points, Rgb color, double lineWidth) {
    if (points.size() < 2) return;
    body_ += "<polyline fill=\"none\" stroke=\"" + colour(color) + "\" stroke-width=\"" + num(lineWidth) +
             "\" stroke-linejoin=\"round\" points=\"";
    for (const Point& p : points) body_ += num(p.x) + "," + num(p.y) + " ";
    body_ += "\"/>\n";
}

void SvgCanvas::text(double x, double top, std::string_view text, Rgb color, const Font& font) {
    if (text.empty()) return;
    static const char* const kAnchors[] = {"start", "middle", "end"};
    body_ += "<text x=\"" + num(x) + "\" y=\"" + num(top + font.size * kAscentShare) +
             "\" font-family=\"DejaVu Sans Mono, Consolas, monospace\" font-size=\"" + num(font.size) +
             "\" fill=\"" + colour(color) + "\" text-anchor=\"" + kAnchors[static_cast<int>(font.anchor)] + "\"";
    if (font.bold) body_ += " font-weight=\"bold\"";
    // On a character grid every character takes exactly one cell.
    if (font.cellWidth > 0.0)
        body_ += " textLength=\"" + num(font.cellWidth * static_cast<double>(text.size())) +
                 "\" lengthAdjust=\"spacingAndGlyphs\"";
    body_ += " xml:space=\"preserve\">" + xmlEscaped(text) + "</text>\n";
}

}  // namespace zolksim
