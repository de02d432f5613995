// The page as the host's text surface records it: every text at its pixel
// position and colour, in drawing order, and the number formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "tests/support/display_test.h"

namespace {

constexpr COLORREF kGreen = 0x33FF33, kBlue = 0xFF6666, kGrey = 0x999999, kYellow = 0x33FFFF;

class PageDrawing : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        w().setFocus(&addEngineVessel("Tug", 2, 100000.0, 3000.0));
        display = &open();
    }

    const simhost::PageRecord& draw() { return display->redraw(); }

    simhost::Display* display = nullptr;
};

struct Row {
    std::string text;
    COLORREF color;
    int x, y;
};

std::vector<Row> rowsOf(const simhost::PageRecord& surface) {
    std::vector<Row> rows;
    for (const simhost::TextItem& item : surface.texts) rows.push_back({item.text, item.color, item.x, item.y});
    return rows;
}

bool operator==(const Row& a, const Row& b) {
    return a.text == b.text && a.color == b.color && a.x == b.x && a.y == b.y;
}

void PrintTo(const Row& r, std::ostream* os) { *os << '"' << r.text << "\" " << std::hex << r.color << std::dec << " @" << r.x << ',' << r.y; }

TEST_F(PageDrawing, DrawsEveryRowAtItsTruncatedPixelPositionInOrder) {
    ASSERT_EQ(page(*display).cellWidth(), 15u);
    ASSERT_EQ(page(*display).cellHeight(), 16u);
    pluginState.attitudeHold = 0;
    pluginState.autoBurn = 1;
    pluginState.maxAccPerDay = 12.3456;
    pluginState.mainDeltaV = 1500.0;
    pluginState.mainIsp = 3000.0;
    pluginState.totalThrust = 200000.0;
    std::strcpy(pluginState.refName, "Earth");

    const std::vector<Row> expected = {
        {"Attitude Hold", kGreen, 7, 43},
        {"Main Eng.ISP", kGreen, 7, 256},
        {"Vessel", kGreen, 7, 148},  // 148.8, truncated
        {"Reference Body", kGreen, 7, 96},
        {"Main Eng.Max Thrust", kGreen, 7, 201},
        {"Auto Burn 1/3 Orbit Around Periapsis", kGreen, 7, 308},
        {"Off", kGreen, 7, 59},
        {"Max.Acc", kBlue, 345, 185},
        {"(m/s per day)", kBlue, 345, 201},
        {"Main Eng.dV", kBlue, 345, 256},
        {"12.346", kGrey, 345, 217},
        {"1500.00 m/s", kGrey, 345, 272},
        {"On", kYellow, 7, 324},
        {"3000.00 N*s/kg", kYellow, 7, 272},
        {"Tug", kYellow, 7, 164},
        {"Earth", kYellow, 7, 112},
        {"200000.000 N", kYellow, 7, 217},
    };
    startTrace();
    const simhost::PageRecord& surface = draw();
    EXPECT_EQ(rowsOf(surface), expected);

    // Font, title, font, then one colour change before each colour's first row.
    const std::vector<std::string> calls = tracedCalls();
    ASSERT_GE(calls.size(), 3u);
    std::vector<std::string> head(calls.begin(), calls.begin() + 3);
    EXPECT_EQ(head, (std::vector<std::string>{"MFD::SelectDefaultFont", "MFD::Title", "MFD::SelectDefaultFont"}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "MFD::Title"), 1);  // one drawing, on any platform
#ifndef _WIN32  // GDI's own text calls are not the host's to trace
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[3], "SetTextColor");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetTextColor"), 4);
#endif
    EXPECT_EQ(surface.title.text, "Z.O.L.K. MFD");
    EXPECT_EQ(surface.lastFont, 0);
}

TEST_F(PageDrawing, SwitchesShowOnOffOrNothing) {
    struct Case {
        int hold, burn;
        std::vector<std::string> switchTexts;  // at the hold's row, then the burn's
    };
    const Case cases[] = {
        {1, 0, {"On", "Off"}},
        {0, 1, {"On", "Off"}},  // drawing order puts both "Off" rows first
        {1, 1, {"On", "On"}},
        {2, -1, {}},            // values from a file: neither text
        {2, 0, {"Off"}},
    };
    for (const Case& c : cases) {
        pluginState.attitudeHold = c.hold;
        pluginState.autoBurn = c.burn;
        std::vector<std::string> switchTexts;
        for (const simhost::TextItem& item : draw().texts)
            if (item.y == 59 || item.y == 324) switchTexts.push_back(item.text);
        std::sort(switchTexts.begin(), switchTexts.end());
        std::vector<std::string> expected = c.switchTexts;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(switchTexts, expected) << c.hold << ", " << c.burn;
    }
}

// Rows 7, 8, 14 and 15: each switch's text at its own row (y = 59
// for the hold, 324 for the burn) in its own colour, for the four combinations.
TEST_F(PageDrawing, EachSwitchShowsItsStateAtItsOwnRow) {
    for (const int hold : {0, 1})
        for (const int burn : {0, 1}) {
            pluginState.attitudeHold = hold;
            pluginState.autoBurn = burn;
            std::vector<Row> holdRow, burnRow;
            for (const Row& row : rowsOf(draw())) {
                if (row.y == 59) holdRow.push_back(row);
                if (row.y == 324) burnRow.push_back(row);
            }
            const Row expectHold = hold == 1 ? Row{"On", kYellow, 7, 59} : Row{"Off", kGreen, 7, 59};
            const Row expectBurn = burn == 1 ? Row{"On", kYellow, 7, 324} : Row{"Off", kGreen, 7, 324};
            EXPECT_EQ(holdRow, std::vector<Row>{expectHold}) << "hold " << hold << ", burn " << burn;
            EXPECT_EQ(burnRow, std::vector<Row>{expectBurn}) << "hold " << hold << ", burn " << burn;
        }
}

TEST_F(PageDrawing, FormattedTextsAreBoundedByTheLineBuffer) {
    pluginState.totalThrust = 1e300;  // 301 digits before the point
    pluginState.mainDeltaV = -1e299;
    pluginState.mainIsp = std::numeric_limits<double>::quiet_NaN();
    pluginState.maxAccPerDay = -std::numeric_limits<double>::infinity();
    pluginState.vesselName[0] = '\0';
    pluginState.refName[0] = '\0';
    for (const simhost::TextItem& item : draw().texts) {
        EXPECT_LE(item.text.size(), 255u);
        if (item.y == 217 && item.x == 7) {
            EXPECT_EQ(item.text.size(), 255u);
            EXPECT_TRUE(item.text.starts_with("1000000000000000"));
        }
        if (item.y == 272 && item.x == 7) {
            EXPECT_EQ(item.text, "nan N*s/kg");
        }
        if (item.y == 217 && item.x == 345) {
            EXPECT_EQ(item.text, "-inf");
        }
        if (item.y == 164 || item.y == 112) {
            EXPECT_EQ(item.text, "");  // empty names draw empty texts
        }
    }
}

TEST_F(PageDrawing, TwoDisplaysDrawTheSameRecord) {
    simhost::Display& right = open("Right");
    pluginState.maxAccPerDay = 0.5;
    const std::vector<std::string> leftTexts = texts(draw());
    // A switch pressed on one display shows on the other at its next redraw.
    right.pressKey(0x1E);
    const std::vector<std::string> rightTexts = texts(right.redraw());
    const std::vector<std::string> leftAfter = texts(draw());
    EXPECT_EQ(rightTexts, leftAfter);
    EXPECT_NE(leftTexts, leftAfter);
    EXPECT_EQ(std::count(leftAfter.begin(), leftAfter.end(), "On"), 1);
}

}  // namespace
