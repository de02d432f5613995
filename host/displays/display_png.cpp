#include "host/displays/display_png.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace simhost {

bool writeBgrxPng(const std::string& path, int width, int height, const std::uint8_t* pixels) {
    if (!pixels || width <= 0 || height <= 0) return false;
    // Blue, green, red, unused in the DIB; red, green, blue in the picture.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rgb(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        rgb[i * 3] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4];
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

bool writeDisplayPng(const Display& display, const std::string& path, std::string& error) {
    const DisplayCanvas& canvas = display.canvas();
    if (!canvas.dc()) {
        error = "display " + display.position() + " has no pixels";
        return false;
    }
    if (!writeBgrxPng(path, static_cast<int>(canvas.width()), static_cast<int>(canvas.height()), canvas.row(0))) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace simhost
