// The page as GDI draws it into a display's pixels, and those pixels as PNG.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "host/displays/display_png.h"
#include "tests/support/display_test.h"

namespace {

constexpr COLORREF kGreen = 0x33FF33, kYellow = 0x33FFFF;

// A band of pixels: x in [left, right), y in [top, bottom).
struct Band {
    int left, top, right, bottom;
};

class PagePixels : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        w().setFocus(&addEngineVessel("Tug", 2, 100000.0, 3000.0));
        display = &open();
        pluginState.attitudeHold = 1;
        pluginState.autoBurn = 0;
        display->redraw();
    }

    // Pixels of the band in the colour, and pixels in neither it nor the background.
    std::pair<int, int> count(const Band& band, COLORREF color) const {
        int matching = 0, other = 0;
        for (int y = band.top; y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x) {
                const COLORREF pixel = display->canvas().colorAt(x, y);
                if (pixel == color)
                    ++matching;
                else if (pixel != simhost::kBackgroundColor)
                    ++other;
            }
        return {matching, other};
    }

    simhost::Display* display = nullptr;
};

// 15 x 16 pixel cells: the left column at x = 7, rows at y = 43 ("Attitude
// Hold"), 59 (its switch) and 324 (the burn's switch).
TEST_F(PagePixels, TextsShowInTheirColoursAtTheirRowsAndNothingElseIsDrawn) {
    const auto label = count(Band{7, 43, 7 + 13 * 15, 43 + 16}, kGreen);
    EXPECT_GT(label.first, 50);
    EXPECT_EQ(label.second, 0);
    const auto holdOn = count(Band{7, 59, 7 + 2 * 15, 59 + 16}, kYellow);
    EXPECT_GT(holdOn.first, 10);
    EXPECT_EQ(holdOn.second, 0);
    const auto burnOff = count(Band{7, 324, 7 + 3 * 15, 324 + 16}, kGreen);
    EXPECT_GT(burnOff.first, 10);
    EXPECT_EQ(burnOff.second, 0);
    EXPECT_GT(count(Band{7, 0, 7 + 12 * 15, 16}, simhost::kTitleColor).first, 30);
    // Between the hold's switch and "Reference Body", and right of the left
    // column above "Max.Acc", the page draws nothing.
    EXPECT_EQ(count(Band{0, 59 + 16, 540, 96}, simhost::kBackgroundColor).second, 0);
    EXPECT_EQ(count(Band{345, 16, 540, 185}, simhost::kBackgroundColor).second, 0);
}

TEST_F(PagePixels, PngHoldsEveryPixelInItsColour) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "zolk_page_pixels.png";
    std::string error;
    ASSERT_TRUE(simhost::writeDisplayPng(*display, path.string(), error)) << error;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgb = stbi_load(path.string().c_str(), &width, &height, &channels, 3);
    std::filesystem::remove(path);
    ASSERT_NE(rgb, nullptr);
    ASSERT_EQ(width, 540);
    ASSERT_EQ(height, 384);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const stbi_uc* p = rgb + 3 * (y * width + x);
            if (RGB(p[0], p[1], p[2]) != display->canvas().colorAt(x, y)) ++wrong;
        }
    stbi_image_free(rgb);
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(simhost::writeDisplayPng(*display, (path / "no" / "such.png").string(), error));
    EXPECT_NE(error.find("such.png"), std::string::npos);
}

}  // namespace
