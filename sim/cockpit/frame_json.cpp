#include "sim/cockpit/frame_json.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "sim/cockpit/orbit_view.h"
#include "sim/pictures/orbit_track.h"
#include "sim/pictures/page_view.h"

namespace zolksim::cockpit {

namespace {

using nlohmann::json;

std::string colourText(COLORREF color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

// Only what a browser can show: bytes outside printable ASCII become '?'
// (and the JSON stays valid UTF-8 whatever a page draws).
std::string printable(const std::string& text) {
    std::string shown = text;
    for (char& c : shown)
        if (c < 0x20 || c > 0x7E) c = '?';
    return shown;
}

json textJson(const simhost::TextItem& item) {
    return json::array({item.x, item.y, colourText(item.color), printable(item.text)});
}

json displayJson(simhost::Display& display) {
    const PageView page = capturePage(display);
    json texts = json::array();
    if (page.hasTitle) texts.push_back(textJson(page.title));
    for (const simhost::TextItem& item : page.texts) texts.push_back(textJson(item));
    json menu = json::array();
    const MFDBUTTONMENU* entries = nullptr;
    const int count = display.buttonMenu(&entries);
    for (int i = 0; entries && i < count && i < kButtonCount; ++i)
        menu.push_back({printable(entries[i].line1 ? entries[i].line1 : ""),
                        printable(entries[i].line2 ? entries[i].line2 : ""),
                        std::string(1, entries[i].selchar > 0x20 && entries[i].selchar < 0x7F ? entries[i].selchar : ' ')});
    json labels = json::array();
    for (const std::string& label : page.buttonLabels) labels.push_back(printable(label));
    return {{"position", printable(page.position)}, {"mode", printable(page.modeName)}, {"width", page.width},
            {"height", page.height}, {"cellWidth", page.cellWidth}, {"cellHeight", page.cellHeight},
            {"texts", std::move(texts)}, {"labels", std::move(labels)}, {"menu", std::move(menu)}};
}

// Metres to the nearest metre, and nothing that JSON cannot carry.
json metres(double value) { return std::isfinite(value) ? json(std::round(value)) : json(nullptr); }

json orbitJson(const OrbitView& o, const simhost::Body& body) {
    if (!o.valid) return nullptr;
    return {{"body", printable(body.name)}, {"radius", metres(o.bodyRadius)}, {"a", metres(o.a)}, {"e", o.e},
            {"periapsis", metres(o.periapsis)}, {"apoapsis", metres(o.apoapsis)}, {"x", metres(o.x)},
            {"y", metres(o.y)}, {"windowFrom", o.windowFrom}, {"windowTo", o.windowTo}, {"burning", o.burning},
            {"thrustX", o.thrustX}, {"thrustY", o.thrustY}};
}

double propellantOf(const simhost::Vessel& vessel) {
    double kg = 0.0;
    for (const auto& tank : vessel.propellants) kg += tank->mass;
    return kg;
}

}  // namespace

std::string chartSample(simhost::Vessel& vessel, const simhost::Body& body, double time) {
    OrbitSample orbit{};
    if (!sampleOrbit(vessel, body, time, orbit)) return {};
    return json::array({std::round(time), metres(orbit.periapsisAltitude), metres(orbit.apoapsisAltitude),
                        std::round(propellantOf(vessel) * 1000.0) / 1000.0})
        .dump();
}

std::string dateText(double mjd) {
    // Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
    const double whole = std::floor(mjd);
    long long seconds = std::llround((mjd - whole) * 86400.0);
    long long z = static_cast<long long>(whole) - 40587 + seconds / 86400 + 719468;
    seconds %= 86400;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::string frameJson(simhost::World& world, const ClockState& clock, const PageSubject& subject,
                      const std::string& sample, const std::string& saved) {
    json displays = json::array();
    for (const auto& display : world.cockpit().displays())
        if (display->object()) displays.push_back(displayJson(*display));

    json box = nullptr;
    if (const simhost::InputBox* open = world.cockpit().currentInputBox())
        box = {{"title", printable(open->title)}, {"text", printable(open->initialText)},
               {"count", world.cockpit().inputBoxCount()}};

    json frame = {{"time", world.simTime()},
                  {"date", dateText(world.mjd())},
                  {"running", clock.running},
                  {"warp", clock.warp},
                  {"stepsPerSecond", std::round(clock.stepsPerSecond)},
                  {"behind", clock.behind},
                  {"displays", std::move(displays)},
                  {"box", std::move(box)},
                  {"saved", printable(saved)}};
    frame["vessel"] = printable(subject.vesselName);
    frame["body"] = printable(subject.bodyName);
    frame["chartOf"] = printable(subject.label());
    frame["orbit"] = nullptr;
    if (subject.vessel) frame["propellant"] = propellantOf(*subject.vessel);
    if (subject.vessel && subject.body) frame["orbit"] = orbitJson(orbitView(*subject.vessel, *subject.body), *subject.body);
    if (!sample.empty()) frame["sample"] = json::parse(sample);
    return frame.dump();
}

}  // namespace zolksim::cockpit
