#include "sim/pilot/pilot.h"

#include <cstdio>
#include <limits>

#include "host/world/names.h"
#include "host/world/world.h"

namespace zolksim {

namespace {

constexpr int kButtonPressed = 1;  // the event bit of a button press

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// "M (0x32)" for a letter or digit key, else the code alone.
std::string keyName(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
    for (const char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        DWORD known = 0;
        if (keyCode(std::string_view(&c, 1), known) && known == code) return std::string(1, c) + " (" + text + ")";
    }
    return text;
}

}  // namespace

Pilot::Pilot(std::vector<PilotAction> actions, std::function<std::string(const std::string&)> saveScenario)
    : actions_(std::move(actions)), saveScenario_(std::move(saveScenario)) {
    nextDue_ = actions_.empty() ? std::numeric_limits<double>::infinity() : actions_.front().time;
}

std::string Pilot::displayPosition() const {
    simhost::Cockpit& cockpit = simhost::world().cockpit();
    if (const simhost::Display* chosen = chosenDisplay_.empty() ? nullptr : cockpit.display(chosenDisplay_))
        return chosen->position();
    for (const auto& display : cockpit.displays())
        if (display->object()) return display->position();
    return {};
}

void Pilot::actDue(double simTime) {
    while (next_ < actions_.size() && actions_[next_].time <= simTime) perform(actions_[next_++], simTime);
    nextDue_ = next_ < actions_.size() ? actions_[next_].time : std::numeric_limits<double>::infinity();
}

void Pilot::report(const PilotAction& action, double simTime, const std::string& what, bool problem) {
    events_.push_back({simTime, action.source + ":" + std::to_string(action.line) + ": " + what, problem});
}

void Pilot::perform(const PilotAction& a, double t) {
    simhost::Cockpit& cockpit = simhost::world().cockpit();
    simhost::Display* display = cockpit.display(displayPosition());
    const std::string where = display ? " on " + display->position() : std::string{};

    switch (a.kind) {
    case ActionKind::Key:
        if (!display || !display->object()) return report(a, t, "key " + keyName(a.key) + ": no display is open", true);
        if (!display->pressKey(a.key))
            return report(a, t, "key " + keyName(a.key) + where + ": the display ignored it", true);
        return report(a, t, "key " + keyName(a.key) + where, false);

    case ActionKind::Button: {
        if (!display || !display->object()) return report(a, t, "button: no display is open", true);
        int index = a.button;
        if (index < 0) {
            for (int i = 0; i < 12 && index < 0; ++i) {
                const char* label = display->buttonLabel(i);
                if (label && simhost::sameName(label, a.text)) index = i;
            }
            if (index < 0) return report(a, t, "button " + quoted(a.text) + where + ": no button has that label", true);
        }
        const char* label = display->buttonLabel(index);
        const std::string name = "button " + std::to_string(index) + (label ? " (" + std::string(label) + ")" : "");
        if (!display->pressButton(index, kButtonPressed)) return report(a, t, name + where + ": nothing happened", true);
        return report(a, t, name + where, false);
    }

    case ActionKind::Type: {
        const simhost::InputBox* box = cockpit.currentInputBox();
        if (!box) return report(a, t, "type " + quoted(a.text) + ": no input box is open", true);
        const std::string title = box->title;
        if (cockpit.answerInputBox(a.text) == simhost::InputBoxAnswer::Refused)
            return report(a, t, "type " + quoted(a.text) + ": refused by " + quoted(title) + "; the box stays open", true);
        return report(a, t, "type " + quoted(a.text) + ": accepted by " + quoted(title), false);
    }

    case ActionKind::Cancel:
        if (!cockpit.cancelInputBox()) return report(a, t, "cancel: no input box is open", true);
        return report(a, t, "cancel: input box closed", false);

    case ActionKind::Open:
        if (!cockpit.openDisplay(a.text, a.mode))
            return report(a, t, "open " + a.text + " " + a.mode + ": the mode is unknown or gave no display", true);
        chosenDisplay_ = a.text;
        return report(a, t, "open " + a.text + " " + a.mode, false);

    case ActionKind::Close:
        if (!cockpit.closeDisplay(a.text)) return report(a, t, "close " + a.text + ": no such display", true);
        return report(a, t, "close " + a.text, false);

    case ActionKind::Display:
        if (!cockpit.display(a.text)) return report(a, t, "display " + a.text + ": no such display", true);
        chosenDisplay_ = a.text;
        return report(a, t, "display " + a.text, false);

    case ActionKind::Save: {
        const std::string error = saveScenario_(a.text);
        if (!error.empty()) return report(a, t, "save " + a.text + ": " + error, true);
        return report(a, t, "save " + a.text, false);
    }
    }
}

}  // namespace zolksim
