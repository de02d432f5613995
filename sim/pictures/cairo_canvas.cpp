// The raster canvas drawn with cairo.
#include <cairo.h>

#include <string>

#include "sim/pictures/raster_canvas.h"

namespace zolksim {

struct RasterCanvas::Surface {
    cairo_surface_t* surface;
    cairo_t* cr;
};

namespace {

void setColour(cairo_t* cr, Rgb c, double opacity = 1.0) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, opacity);
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height) : surface_(std::make_unique<Surface>()) {
    surface_->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    surface_->cr = cairo_create(surface_->surface);
    cairo_select_font_face(surface_->cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
}

RasterCanvas::~RasterCanvas() {
    cairo_destroy(surface_->cr);
    cairo_surface_destroy(surface_->surface);
}

void RasterCanvas::fillRect(double x, double y, double w, double h, Rgb color, double opacity) {
    cairo_t* cr = surface_->cr;
    setColour(cr, color, opacity);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void RasterCanvas::strokeRect(double x, double y, double w, double h, Rgb color, double lineWidth) {
    cairo_t* cr = surface_->cr;
    setColour(cr, color);
    cairo_set_line_width(cr, lineWidth);
    cairo_rectangle(cr, x, y, w, h);
    cairo_stroke(cr);
}

void RasterCanvas::line(Point from, Point to, Rgb color, double lineWidth) { polyline({from, to}, color, lineWidth); }

void RasterCanvas::polyline(const std::vector<Point>& points, Rgb color, double lineWidth) {
    if (points.size() < 2) return;
    cairo_t* cr = surface_->cr;
    setColour(cr, color);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, points.front().x, points.front().y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
    cairo_stroke(cr);
}

void RasterCanvas::text(double x, double top, std::string_view text, Rgb color, const Font& font) {
    if (text.empty()) return;
    cairo_t* cr = surface_->cr;
    std::string shown;
    for (const char c : text) shown += shownChar(c);
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, shown.c_str(), &extents);
    double width = extents.x_advance;
    if (font.cellWidth > 0.0) {
        // Stretch the font so that each character takes exactly one cell.
        const double wanted = font.cellWidth * static_cast<double>(shown.size());
        if (width > 0.0) {
            cairo_matrix_t matrix;
            cairo_matrix_init_scale(&matrix, font.size * wanted / width, font.size);
            cairo_set_font_matrix(cr, &matrix);
        }
        width = wanted;
    }
    const double shift = font.anchor == Anchor::Middle ? width / 2.0 : font.anchor == Anchor::End ? width : 0.0;
    setColour(cr, color);
    cairo_move_to(cr, x - shift, top + font.size * kAscentShare);
    cairo_show_text(cr, shown.c_str());
}

bool RasterCanvas::writePng(const std::string& path, std::string& error) const {
    cairo_surface_flush(surface_->surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface_->surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = path + ": cannot write the picture (" + cairo_status_to_string(status) + ")";
        return false;
    }
    return true;
}

}  // namespace zolksim
