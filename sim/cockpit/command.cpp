#include "sim/cockpit/command.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>

#include "sim/pilot/pilot_script.h"

namespace zolksim::cockpit {

namespace {

using nlohmann::json;

constexpr std::size_t kMaxPositionLength = 32;  // as in pilot scripts

struct Verb {
    const char* word;
    CommandKind kind;
};
constexpr std::array<Verb, 11> kVerbs{{{"key", CommandKind::Key},
                                      {"button", CommandKind::Button},
                                      {"type", CommandKind::Type},
                                      {"cancel", CommandKind::Cancel},
                                      {"run", CommandKind::Run},
                                      {"pause", CommandKind::Pause},
                                      {"step", CommandKind::Step},
                                      {"warp", CommandKind::Warp},
                                      {"save", CommandKind::Save},
                                      {"open", CommandKind::Open},
                                      {"close", CommandKind::Close}}};

bool stringField(const json& object, const char* name, std::string& value, std::string& error) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) {
        error = std::string("\"") + name + "\" must be a string";
        return false;
    }
    value = found->get<std::string>();
    return true;
}

bool integerField(const json& object, const char* name, int& value, std::string& error) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_number_integer()) {
        error = std::string("\"") + name + "\" must be a whole number";
        return false;
    }
    value = static_cast<int>(std::clamp<std::int64_t>(found->get<std::int64_t>(), -1, 1 << 20));
    return true;
}

bool displayField(const json& object, Command& command, std::string& error) {
    if (!stringField(object, "display", command.display, error)) return false;
    // Plain ASCII as a save name: a name the browser, the scenario and every
    // command spell alike.
    if (command.display.size() > kMaxPositionLength || !plainFileName(command.display)) {
        error = "a display position has 1 to 32 letters, digits, '.', '-' or '_'";
        return false;
    }
    return true;
}

bool readFields(const json& object, Command& c, std::string& error) {
    switch (c.kind) {
    case CommandKind::Key: {
        std::string name;
        if (!displayField(object, c, error) || !stringField(object, "key", name, error)) return false;
        // Letters and digits as the pilot presses them; codes are a script's business.
        if (name.size() != 1 || !keyCode(name, c.key)) {
            error = "\"key\" must be one letter or digit";
            return false;
        }
        return true;
    }
    case CommandKind::Button: {
        std::string event;
        if (!displayField(object, c, error) || !integerField(object, "index", c.button, error) ||
            !stringField(object, "event", event, error))
            return false;
        if (c.button < 0 || c.button > 11) {
            error = "\"index\" must be 0-11";
            return false;
        }
        if (event != "down" && event != "up") {
            error = "\"event\" must be \"down\" or \"up\"";
            return false;
        }
        c.event = event == "down" ? kMouseDown : kMouseUp;
        return true;
    }
    case CommandKind::Type:
        if (!stringField(object, "text", c.text, error)) return false;
        if (c.text.size() > kMaxTypedLength || hasControlCharacter(c.text)) {
            error = "typed text is at most 255 characters, without control characters";
            return false;
        }
        return true;
    case CommandKind::Warp: {
        const auto found = object.find("factor");
        if (found == object.end() || !found->is_number()) {
            error = "\"factor\" must be a number";
            return false;
        }
        c.warp = found->get<double>();
        if (std::find(std::begin(kWarpFactors), std::end(kWarpFactors), c.warp) == std::end(kWarpFactors)) {
            error = "\"factor\" must be 1, 10, 100, 1000, 10000 or 100000";
            return false;
        }
        return true;
    }
    case CommandKind::Save:
        if (!stringField(object, "name", c.text, error)) return false;
        if (c.text.size() > kMaxSaveNameLength) {
            error = "a save name is at most " + std::to_string(kMaxSaveNameLength) + " characters";
            return false;
        }
        if (!plainFileName(c.text)) {
            error = "a save name is a plain file name (letters, digits, '.', '-', '_'; no folders)";
            return false;
        }
        return true;
    case CommandKind::Open:
    case CommandKind::Close:
        return displayField(object, c, error);
    case CommandKind::Cancel:
    case CommandKind::Run:
    case CommandKind::Pause:
    case CommandKind::Step:
        return true;
    }
    return false;
}

}  // namespace

bool parseCommand(std::string_view body, Command& command, std::string& error) {
    json object;
    try {
        object = json::parse(body.begin(), body.end());
    } catch (const json::out_of_range&) {
        error = "a number in the command is too large to read";  // 1e400: past the largest double
        return false;
    } catch (const json::exception&) {
        error = "a command is a JSON object; this is not JSON";
        return false;
    }
    if (!object.is_object()) {
        error = "a command is a JSON object";
        return false;
    }
    std::string verb;
    if (!stringField(object, "do", verb, error)) return false;
    const auto known =
        std::find_if(kVerbs.begin(), kVerbs.end(), [&](const Verb& v) { return verb == v.word; });
    if (known == kVerbs.end()) {
        error = "unknown command \"" + verb.substr(0, 32) + "\"";
        return false;
    }
    Command parsed;
    parsed.kind = known->kind;
    if (!readFields(object, parsed, error)) return false;
    command = std::move(parsed);
    return true;
}

}  // namespace zolksim::cockpit
