// Pilot scripts come from users' files: any bytes must give either a clean
// refusal naming a line or actions that keep the reader's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/pilot/pilot_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zolksim::ScriptParse script = zolksim::parsePilotScript(text, "fuzz");
    if (!script.ok) {
        if (script.error.rfind("fuzz:", 0) != 0 || !script.actions.empty()) std::abort();
        return 0;
    }
    double previous = 0.0;
    for (const zolksim::PilotAction& action : script.actions) {
        if (!(action.time >= previous) || action.text.size() > 255 || action.mode.size() > 32 || action.line < 1)
            std::abort();
        const bool named = action.kind == zolksim::ActionKind::Open || action.kind == zolksim::ActionKind::Close ||
                           action.kind == zolksim::ActionKind::Display;
        if ((named && action.text.size() > 32) || (action.kind == zolksim::ActionKind::Button && action.text.size() > 16))
            std::abort();
        if (action.kind == zolksim::ActionKind::Save &&
            (action.text.find('/') != std::string::npos || action.text.find('\\') != std::string::npos ||
             action.text.front() == '.'))
            std::abort();
        if (action.kind == zolksim::ActionKind::Button && (action.button < -1 || action.button > 11)) std::abort();
        previous = action.time;
    }
    return 0;
}
