#include "host/display_png.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace simhost {

bool writeDisplayPng(const Display& display, const std::string& path, std::string& error) {
    const DisplayCanvas& canvas = display.canvas();
    if (!canvas.dc()) {
        error = "display " + display.position() + " has no pixels";
        return false;
    }
    // Blue, green, red, unused in the canvas; red, green, blue in the picture.
    const std::size_t width = canvas.width();
    std::vector<std::uint8_t> rgb(width * canvas.height() * 3);
    std::uint8_t* out = rgb.data();
    for (DWORD y = 0; y < canvas.height(); ++y) {
        const std::uint8_t* pixel = canvas.row(y);
        for (std::size_t x = 0; x < width; ++x, pixel += 4, out += 3) {
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
        }
    }
    const int stride = static_cast<int>(width * 3);
    if (!stbi_write_png(path.c_str(), static_cast<int>(width), static_cast<int>(canvas.height()), 3, rgb.data(), stride)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace simhost
