// What a person sees: the page on the terminal and as SVG and PNG, the orbit
// plot's axis steps, and the figures read off the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/world/world.h"
#include "sim/pictures/orbit_plot.h"
#include "sim/pictures/orbit_track.h"
#include "sim/pictures/page_picture.h"
#include "sim/run/progress_bar.h"
#include "sim/pictures/raster_canvas.h"
#include "sim/pictures/svg_canvas.h"
#include "sim/pictures/terminal_page.h"

namespace {

using zolksim::PageView;

// A page as the host would record it: 540 x 384 pixels, 15 x 16 pixel cells.
PageView samplePage() {
    PageView page;
    page.position = "Left";
    page.modeName = "ZOLKMFD";
    page.width = 540;
    page.height = 384;
    page.cellWidth = 15;
    page.cellHeight = 16;
    page.hasTitle = true;
    page.title = {15, 0, 0xE0E0E0, "Z.O.L.K. MFD"};
    page.texts = {{7, 43, 0x33FF33, "Attitude Hold"},
                  {7, 59, 0x33FFFF, "On"},
                  {7, 272, 0x33FFFF, "30000.00 N*s/kg"},  // level with the dV value, in the other column
                  {345, 256, 0xFF6666, "Main Eng.dV"},
                  {345, 272, 0x999999, "9467.37 m/s"},
                  {525, 100, 0x999999, "cut at the edge"},
                  {7, 400, 0x999999, "below the screen"}};
    page.buttonLabels[0] = "ATT";
    page.buttonLabels[3] = "ENG";
    page.buttonLabels[7] = "RIGHT";
    return page;
}

TEST(TerminalPage, LaysTextsOnTheCharacterGridWithLabelsBeside) {
    const std::string plain = zolksim::terminalPage(samplePage(), false);
    EXPECT_EQ(plain.find('\x1b'), std::string::npos);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = plain.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(plain.substr(at, end - at));
    ASSERT_EQ(lines.size(), 26u);  // 24 rows between two borders
    EXPECT_EQ(lines[0], "     +" + std::string(36, '-') + "+");
    EXPECT_EQ(lines[1].substr(0, 19), "     | Z.O.L.K. MFD");
    EXPECT_EQ(lines[1 + 3].substr(0, 24), " ATT |Attitude Hold     ");  // button 0 beside row 3
    EXPECT_EQ(lines[1 + 4].substr(5, 4), "|On ");
    EXPECT_EQ(lines[1 + 17].substr(6 + 23, 11), "9467.37 m/s");
    EXPECT_EQ(lines[1 + 6].substr(6 + 35, 6), "c| RIG") << "cut at the frame; right labels cut to four";
    EXPECT_EQ(plain.find("below"), std::string::npos);

    const std::string coloured = zolksim::terminalPage(samplePage(), true);
    EXPECT_NE(coloured.find("\x1b[38;2;51;255;51mAttitude Hold"), std::string::npos);  // 0x33FF33 is R 51 G 255 B 51
    EXPECT_NE(coloured.find("\x1b[38;2;255;255;51mOn"), std::string::npos);
    EXPECT_NE(coloured.find("\x1b[38;2;102;102;255mMain Eng.dV"), std::string::npos);  // 0xFF6666: blue
}

TEST(PagePicture, SvgPutsEachTextAtItsPixelPositionOnTheScreen) {
    const PageView page = samplePage();
    const zolksim::PictureSize size = zolksim::pagePictureSize(page);
    zolksim::SvgCanvas svg(size.width, size.height);
    zolksim::drawPagePicture(page, svg);
    const std::string doc = svg.document();
    // The screen sits 96 px from the left and 28 px from the top of the bezel;
    // a 16 px line's baseline is 0.8 of it below its top.
    EXPECT_NE(doc.find("<text x=\"103\" y=\"83.8\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("fill=\"#33ff33\" text-anchor=\"start\" textLength=\"195\""), std::string::npos);
    EXPECT_NE(doc.find(">Attitude Hold</text>"), std::string::npos);
    EXPECT_NE(doc.find(">ENG</text>"), std::string::npos);
    EXPECT_NE(doc.find("fill=\"#000a04\""), std::string::npos) << "a dark screen";
    EXPECT_EQ(doc.rfind("</svg>\n"), doc.size() - 7);
}

TEST(PagePicture, SvgEscapesWhatTheModuleDraws) {
    EXPECT_EQ(zolksim::xmlEscaped("<a href=\"x\">&'\x01\xff"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;??");
    PageView page = samplePage();
    page.texts = {{0, 32, 0xFFFFFF, "</text><script>alert(1)</script>"}};
    zolksim::SvgCanvas svg(100, 100);
    zolksim::drawPagePicture(page, svg);
    EXPECT_EQ(svg.document().find("<script>"), std::string::npos);
}

TEST(PagePicture, PngIsWrittenOrTheFailureReported) {
    const PageView page = samplePage();
    const zolksim::PictureSize size = zolksim::pagePictureSize(page);
    zolksim::RasterCanvas png(size.width, size.height);
    zolksim::drawPagePicture(page, png);
    const std::string path = ::testing::TempDir() + "zolksim_page_test.png";
    std::string error;
    ASSERT_TRUE(png.writePng(path, error)) << error;
    char signature[8] = {};
    std::ifstream(path, std::ios::binary).read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove(path);
    EXPECT_FALSE(png.writePng("/nonexistent/folder/page.png", error));
    EXPECT_NE(error.find("/nonexistent/folder/page.png"), std::string::npos);
}

TEST(PageView, ValueBelowALabelIsTheNearestTextUnderItInItsColumn) {
    const PageView page = samplePage();
    EXPECT_EQ(zolksim::valueBelow(page, "Main Eng.dV"), "9467.37 m/s");
    EXPECT_EQ(zolksim::valueBelow(page, "Attitude Hold"), "On");
    EXPECT_EQ(zolksim::valueBelow(page, "Not There"), "");
    EXPECT_EQ(zolksim::valueBelow(page, "below the screen"), "");
}

TEST(OrbitPlot, TickStepsAreRound) {
    EXPECT_DOUBLE_EQ(zolksim::tickStep(10.0, 10), 1.0);
    EXPECT_DOUBLE_EQ(zolksim::tickStep(5400.0, 6), 1000.0);
    EXPECT_DOUBLE_EQ(zolksim::tickStep(1.2, 6), 0.2);
    EXPECT_DOUBLE_EQ(zolksim::tickStep(30.0, 6), 5.0);
    EXPECT_DOUBLE_EQ(zolksim::tickStep(0.0, 6), 1.0);
    EXPECT_DOUBLE_EQ(zolksim::tickStep(std::numeric_limits<double>::infinity(), 6), 1.0);
}

}  // namespace

namespace {

// A long run's burns: the chart keeps periods with short gaps joined, so they
// do not grow with the run, while the count and time of the burns stay exact.
TEST(OrbitTrack, BurnsCloseTogetherAreOnePeriodButEachIsCounted) {
    simhost::World& w = simhost::world();
    w.reset();
    w.addBuiltInBodies();
    simhost::Vessel& tug = *w.addVessel("Tug");
    tug.pos = w.findBody("Earth")->state.pos + vec3(7e6, 0, 0);
    simhost::Thruster* engine = tug.addThruster(vec3(0, 0, 0), vec3(0, 0, 1), 1.0, 3e4, tug.addPropellant(10.0, 10.0));
    tug.addToGroup(THGROUP_MAIN, engine);
    zolksim::OrbitTrack joined(tug, *w.findBody("Earth"), 1000000, 100.0), apart(tug, *w.findBody("Earth"), 1000000);
    double time = 0.0;  // s; burns of 10 s with 50 s between them
    for (int step = 0; step < 6000; ++step) {
        engine->level = step % 60 < 10 ? 1.0 : 0.0;  // as the module sets it before the step
        time += 1.0;
        joined.observe(time, 1.0);
        apart.observe(time, 1.0);
    }
    ASSERT_EQ(joined.burns().size(), 1u);
    EXPECT_EQ(joined.burns()[0].start, 0.0);
    EXPECT_EQ(joined.burns()[0].end, 5950.0);
    EXPECT_EQ(apart.burns().size(), 100u);
    for (const zolksim::OrbitTrack* track : {&joined, &apart}) {
        EXPECT_EQ(track->burnCount(), 100u);
        EXPECT_EQ(track->burnTime(), 1000.0);
    }
    w.reset();
}

TEST(ProgressBar, LineShowsTheShareDoneWithinItsWidth) {
    const std::string half = zolksim::ProgressBar::line(5 * 86400.0, 10 * 86400.0, 0.6, 750000.0, 60);
    EXPECT_EQ(half.size(), 60u);
    EXPECT_NE(half.find(" 50%  5.00/10.00 d  0.6 s  750k steps/s"), std::string::npos) << half;
    const std::size_t filled = static_cast<std::size_t>(std::count(half.begin(), half.end(), '#'));
    const std::size_t empty = static_cast<std::size_t>(std::count(half.begin(), half.end(), '.')) - 3;  // the figures' points
    EXPECT_LE(filled > empty ? filled - empty : empty - filled, 1u);
    const std::string beyond = zolksim::ProgressBar::line(20.0, 10.0, 1.0, 1.0, 60);
    EXPECT_NE(beyond.find("100%"), std::string::npos);
    EXPECT_EQ(beyond.substr(0, beyond.find(']')).find('.'), std::string::npos);  // no bar left unfilled
    EXPECT_LE(zolksim::ProgressBar::line(1.0, 2.0, 1.0, 1.0, 10).size(), 60u);  // too narrow: figures only
}

}  // namespace
