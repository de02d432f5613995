// What the browser asks the cockpit to do: small JSON objects, read and
// checked here (on the server's threads) before they go to the simulation.
#pragma once

#include <string>
#include <string_view>

#include "frame/host_api.h"

namespace zolksim::cockpit {

enum class CommandKind { Key, Button, Type, Cancel, Run, Pause, Step, Warp, Save, Open, Close };

// The time accelerations the cockpit offers.
constexpr double kWarpFactors[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0};

// The button event bits the host delivers: down, up, and held (each frame).
constexpr int kMouseDown = 0x01;
constexpr int kMouseUp = 0x04;
constexpr int kMousePressed = 0x10;

struct Command {
    CommandKind kind = CommandKind::Key;
    std::string display;  // Key, Button, Open, Close: the display's position
    DWORD key = 0;        // Key: the host's key code
    int button = 0;       // Button: 0-11
    int event = 0;        // Button: kMouseDown or kMouseUp
    std::string text;     // Type: the text; Save: the file name
    double warp = 1.0;    // Warp: one of kWarpFactors
};

// Reads one command. False with a message for the pilot when the body is not
// one: not JSON, an unknown "do", a missing or ill-typed field, text too long
// or holding control characters, a save name that is not a plain file name.
bool parseCommand(std::string_view body, Command& command, std::string& error);

}  // namespace zolksim::cockpit
