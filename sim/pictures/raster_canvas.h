// A canvas drawn into pixels and written as a PNG file.
#pragma once

#include <memory>
#include <string>

#include "sim/pictures/canvas.h"
#include "sim/pictures/page_view.h"

namespace zolksim {

class RasterCanvas final : public Canvas {
public:
    RasterCanvas(int width, int height);
    ~RasterCanvas() override;

    void fillRect(double x, double y, double w, double h, Rgb color, double opacity) override;
    void strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) override;
    void line(Point from, Point to, Rgb color, double lineWidth) override;
    void polyline(const std::vector<Point>& points, Rgb color, double lineWidth) override;
    void text(double x, double top, std::string_view text, Rgb color, const Font& font) override;
#ifdef _WIN32
    bool copyScreen(const PageView& page, double x, double y) override;
#endif

    // False with the reason in error.
    bool writePng(const std::string& path, std::string& error) const;

private:
    struct Surface;
    std::unique_ptr<Surface> surface_;
};

}  // namespace zolksim
