// Pilot scripts: timed actions on the cockpit's displays, one per line
// (docs/pilot-script.md).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_api.h"

namespace zolksim {

enum class ActionKind { Key, Button, Type, Cancel, Open, Close, Display, Save };

struct PilotAction {
    double time = 0.0;      // simulated s from the start of the run
    ActionKind kind = ActionKind::Key;
    DWORD key = 0;          // Key: the key code
    int button = -1;        // Button: by index, or -1 when by label
    std::string text;       // Type: the text; Button: the label; Open/Close/Display: the position;
                            // Save: the file name
    std::string mode;       // Open: the mode's name
    int line = 0;           // where the action stands in the script
    std::string source;     // what it stands in, a file's name
};

struct ScriptParse {
    bool ok = false;
    std::vector<PilotAction> actions;  // in the order of their times; equal times keep the script's order
    std::string error;                 // "file:line: text" when !ok
};

ScriptParse parsePilotScript(std::string_view text, const std::string& sourceName);
ScriptParse loadPilotScript(const std::string& path);

// Typed text: an input box line; longer is surely a mistake.
constexpr std::size_t kMaxTypedLength = 255;

constexpr std::size_t kMaxSaveNameLength = 200;

// A file name for the output folder: letters, digits, '.', '-', '_', not
// starting with '.', at most kMaxSaveNameLength characters (no folders,
// nothing hidden).
bool plainFileName(std::string_view name);

// Typed text reaches the module as a C string: a NUL or other control byte
// (a tab aside) would cut it short or mean nothing a pilot can type.
bool hasControlCharacter(std::string_view text);

// A key's code from its name: a letter or digit, or a code such as 0x1E.
// False for anything else.
bool keyCode(std::string_view name, DWORD& code);

// "2d 03:04:05" style: the simulated time of an action or event.
std::string clockText(double seconds);

}  // namespace zolksim
