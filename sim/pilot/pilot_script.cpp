#include "sim/pilot/pilot_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "host/world/names.h"
#include "host/physics/physical_constants.h"
#include "host/scenario/scenario_text.h"

namespace zolksim {

namespace {

constexpr std::size_t kMaxLabelLength = 16;  // button labels are a few letters
constexpr std::size_t kMaxNameLength = 32;   // display positions and mode names

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Splits off the first word; rest gets what follows, trimmed.
std::string_view firstWord(std::string_view s, std::string_view& rest) {
    s = trimmed(s);
    const std::size_t end = s.find_first_of(" \t");
    rest = end == std::string_view::npos ? std::string_view{} : trimmed(s.substr(end));
    return s.substr(0, end);
}

// A time: seconds, or a number with the unit s, min, h or d. Not negative.
bool parseTime(std::string_view word, double& seconds) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || word.empty() || word.front() == '-') return false;
    const std::string_view unit(end, static_cast<std::size_t>(word.data() + word.size() - end));
    double scale = 0.0;
    if (unit.empty() || unit == "s") scale = 1.0;
    else if (unit == "min") scale = 60.0;
    else if (unit == "h") scale = simhost::kSecondsPerHour;
    else if (unit == "d") scale = simhost::kSecondsPerDay;
    else return false;
    seconds = value * scale;
    return std::isfinite(seconds) && seconds >= 0.0;
}

bool parseButtonIndex(std::string_view word, int& index) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), index);
    return ec == std::errc{} && end == word.data() + word.size() && index >= 0 && index < 12;
}

struct ActionName {
    const char* word;
    ActionKind kind;
};
constexpr std::array<ActionName, 8> kActionNames{{{"key", ActionKind::Key},
                                                  {"button", ActionKind::Button},
                                                  {"type", ActionKind::Type},
                                                  {"cancel", ActionKind::Cancel},
                                                  {"open", ActionKind::Open},
                                                  {"close", ActionKind::Close},
                                                  {"display", ActionKind::Display},
                                                  {"save", ActionKind::Save}}};

// Reads one action's arguments; an empty result means success, else the complaint.
std::string readArguments(PilotAction& action, std::string_view args) {
    std::string_view rest;
    switch (action.kind) {
    case ActionKind::Key: {
        const std::string_view name = firstWord(args, rest);
        if (name.empty() || !rest.empty()) return "key takes one key: a letter, a digit or a code like 0x1E";
        if (!keyCode(name, action.key)) return simhost::joined("unknown key '", name, "'");
        return {};
    }
    case ActionKind::Button:
        if (args.empty()) return "button takes an index 0-11 or a label";
        if (!parseButtonIndex(args, action.button)) {
            if (args.front() >= '0' && args.front() <= '9') return "button index must be 0-11";
            if (args.size() > kMaxLabelLength) return "a button label is at most 16 characters";
            action.button = -1;
            action.text = args;
        }
        return {};
    case ActionKind::Type:
        if (args.size() > kMaxTypedLength) return "typed text is longer than 255 characters";
        action.text = args;
        return {};
    case ActionKind::Cancel:
        return args.empty() ? std::string{} : "cancel takes nothing";
    case ActionKind::Open: {
        const std::string_view position = firstWord(args, rest);
        std::string_view extra;
        const std::string_view mode = firstWord(rest, extra);
        if (position.empty() || !extra.empty()) return "open takes a position and optionally a mode";
        if (position.size() > kMaxNameLength || mode.size() > kMaxNameLength)
            return "positions and mode names are at most 32 characters";
        action.text = position;
        action.mode = mode.empty() ? "ZOLKMFD" : std::string(mode);
        return {};
    }
    case ActionKind::Close:
    case ActionKind::Display: {
        const std::string_view position = firstWord(args, rest);
        if (position.empty() || !rest.empty()) return "takes one display position, such as Left";
        if (position.size() > kMaxNameLength) return "positions are at most 32 characters";
        action.text = position;
        return {};
    }
    case ActionKind::Save:
        if (!plainFileName(args))
            return "save takes a plain file name (letters, digits, '.', '-', '_'; no folders)";
        action.text = args;
        return {};
    }
    return "unknown action";
}

}  // namespace

bool plainFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxSaveNameLength || name.front() == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '-' || c == '_';
    });
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\t') || c == 0x7F; });
}

bool keyCode(std::string_view name, DWORD& code) {
    // Key codes of the letters and digits, as the host numbers its keyboard.
    static constexpr const char* kRows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static constexpr DWORD kRowStart[] = {0x02, 0x10, 0x1E, 0x2C};
    if (name.size() == 1) {
        char c = name.front();
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        for (int row = 0; row < 4; ++row) {
            const std::string_view keys = kRows[row];
            const std::size_t at = keys.find(c);
            if (at != std::string_view::npos) {
                code = kRowStart[row] + static_cast<DWORD>(at);
                return true;
            }
        }
        return false;
    }
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        unsigned value = 0;
        const char* end = name.data() + name.size();
        const auto [stop, ec] = std::from_chars(name.data() + 2, end, value, 16);
        if (ec != std::errc{} || stop != end || value == 0 || value > 0xFF) return false;
        code = value;
        return true;
    }
    return false;
}

std::string clockText(double seconds) {
    const long long whole = static_cast<long long>(std::floor(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%lldd %02lld:%02lld:%02lld", whole / 86400, whole / 3600 % 24,
                  whole / 60 % 60, whole % 60);
    return text;
}

ScriptParse parsePilotScript(std::string_view text, const std::string& sourceName) {
    ScriptParse result;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view rawLine = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;

        const std::string_view line = trimmed(rawLine);
        const auto fail = [&](const std::string& why) {
            result.error = sourceName + ":" + std::to_string(lineNumber) + ": " + why;
            result.actions.clear();
            return result;
        };
        // Typed text reaches the module as a C string: a NUL or other control
        // byte would cut it short or mean nothing a pilot can type.
        if (hasControlCharacter(line))
            return fail("the line holds a control character");
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;

        std::string_view rest;
        const std::string_view timeWord = firstWord(line, rest);
        PilotAction action;
        action.line = lineNumber;
        action.source = sourceName;
        if (!parseTime(timeWord, action.time))
            return fail(simhost::joined("'", timeWord, "' is not a time (seconds, or with s, min, h or d)"));
        std::string_view args;
        const std::string_view verb = firstWord(rest, args);
        const auto known = std::find_if(kActionNames.begin(), kActionNames.end(),
                                        [&](const ActionName& a) { return simhost::sameName(a.word, verb); });
        if (known == kActionNames.end())
            return fail(verb.empty() ? "no action after the time"
                                     : simhost::joined("unknown action '", verb,
                                                       "' (key, button, type, cancel, open, close, display, save)"));
        action.kind = known->kind;
        const std::string complaint = readArguments(action, args);
        if (!complaint.empty()) return fail(std::string(known->word) + ": " + complaint);
        result.actions.push_back(std::move(action));
    }
    std::stable_sort(result.actions.begin(), result.actions.end(),
                     [](const PilotAction& a, const PilotAction& b) { return a.time < b.time; });
    result.ok = true;
    return result;
}

ScriptParse loadPilotScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ScriptParse failed;
        failed.error = path + ": cannot read the script";
        return failed;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parsePilotScript(text.str(), path);
}

}  // namespace zolksim
