// A canvas written as an SVG document.
#pragma once

#include <string>

#include "sim/pictures/canvas.h"

namespace zolksim {

class SvgCanvas final : public Canvas {
public:
    SvgCanvas(int width, int height);

    void fillRect(double x, double y, double w, double h, Rgb color, double opacity) override;
    void strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) override;
    void line(Point from, Point to, Rgb color, double lineWidth) override;
    void polyline(const std::vector<Point>& points, Rgb color, double lineWidth) override;
    void text(double x, double top, std::string_view text, Rgb color, const Font& font) override;

    // The finished document.
    std::string document() const { return body_ + "</svg>\n"; }

private:
    std::string body_;
};

// Text made safe inside an XML element or attribute; bytes that are not
// printable ASCII become '?', as the drawn page shows only ASCII.
std::string xmlEscaped(std::string_view text);

}  // namespace zolksim
