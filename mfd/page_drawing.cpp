// The page: a title, a left column of settings and a right column of figures,
// each value one character height below its label. Positions are in units of
// the display's character cell; colours are 0x00BBGGRR.
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame/plugin_state.h"
#include "mfd/zolk_mfd.h"

namespace {

constexpr COLORREF kGreen = 0x33FF33;   // left-column labels, "Off"
constexpr COLORREF kBlue = 0xFF6666;    // right-column labels
constexpr COLORREF kGrey = 0x999999;    // the figures
constexpr COLORREF kYellow = 0x33FFFF;  // "On", left-column values

constexpr int kLineLength = 256;  // formatted texts, terminator included

// A fractional multiple of a cell size, truncated toward zero (not rounded).
int fractionOf(DWORD cell, double multiple) {
    const double pixels = static_cast<double>(cell) * multiple;
    return pixels < static_cast<double>(INT_MAX) ? static_cast<int>(pixels) : INT_MAX;
}

// A whole multiple, as the unsigned product.
int wholeOf(DWORD cell, DWORD multiple) { return static_cast<int>(cell * multiple); }

void drawText(HDC hDC, int x, int y, const char* text) {
    TextOutA(hDC, x, y, text, static_cast<int>(std::strlen(text)));
}

// Formats into the one line buffer, cut to fit it, and draws it.
void drawValue(HDC hDC, char (&line)[kLineLength], int x, int y, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    drawText(hDC, x, y, line);
}

}  // namespace

void ZolkMFD::Update(HDC hDC) {
    const PluginState& s = pluginState;
    char line[kLineLength];

    SelectDefaultFont(hDC, 0);
    Title(hDC, "Z.O.L.K. MFD");
    SelectDefaultFont(hDC, 0);

    const int left = fractionOf(charWidth, 0.5);
    const int right = wholeOf(charWidth, 23);

    SetTextColor(hDC, kGreen);
    drawText(hDC, left, fractionOf(charHeight, 2.7), "Attitude Hold");
    drawText(hDC, left, wholeOf(charHeight, 16), "Main Eng.ISP");
    drawText(hDC, left, fractionOf(charHeight, 9.3), "Vessel");
    drawText(hDC, left, wholeOf(charHeight, 6), "Reference Body");
    drawText(hDC, left, fractionOf(charHeight, 12.6), "Main Eng.Max Thrust");
    drawText(hDC, left, fractionOf(charHeight, 19.3), "Auto Burn 1/3 Orbit Around Periapsis");
    if (s.attitudeHold == 0) drawValue(hDC, line, left, fractionOf(charHeight, 3.7), "%s", "Off");
    if (s.autoBurn == 0) drawValue(hDC, line, left, fractionOf(charHeight, 20.3), "%s", "Off");

    SetTextColor(hDC, kBlue);
    drawText(hDC, right, fractionOf(charHeight, 11.6), "Max.Acc");
    drawText(hDC, right, fractionOf(charHeight, 12.6), "(m/s per day)");
    drawText(hDC, right, wholeOf(charHeight, 16), "Main Eng.dV");

    SetTextColor(hDC, kGrey);
    drawValue(hDC, line, right, fractionOf(charHeight, 13.6), "%0.3f", s.maxAccPerDay);
    drawValue(hDC, line, right, wholeOf(charHeight, 17), "%0.2f m/s", s.mainDeltaV);

    SetTextColor(hDC, kYellow);
    if (s.attitudeHold == 1) drawValue(hDC, line, left, fractionOf(charHeight, 3.7), "%s", "On");
    if (s.autoBurn == 1) drawValue(hDC, line, left, fractionOf(charHeight, 20.3), "%s", "On");
    drawValue(hDC, line, left, wholeOf(charHeight, 17), "%0.2f N*s/kg", s.mainIsp);
    drawValue(hDC, line, left, fractionOf(charHeight, 10.3), "%s", s.vesselName);
    drawValue(hDC, line, left, wholeOf(charHeight, 7), "%s", s.refName);
    drawValue(hDC, line, left, fractionOf(charHeight, 13.6), "%0.3f N", s.totalThrust);
}
