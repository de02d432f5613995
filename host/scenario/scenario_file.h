// Scenario files: the world's bodies, vessels, date, focus and open displays as
// text in the host's block form (docs/scenario-format.md).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_api.h"

namespace simhost {

// A warning or an error about one line of a scenario; line 0 when it concerns
// the whole file (one that cannot be read, say).
struct ScenarioMessage {
    std::string file;
    int line = 0;
    std::string text;
};
// "file:line: text", or "file: text" for line 0.
OAPIFUNC std::string messageText(const ScenarioMessage& message);

struct ScenarioLoad {
    bool ok = false;
    std::vector<ScenarioMessage> warnings;  // skipped blocks and lines, displays not opened
    ScenarioMessage error;                  // when !ok
    std::string description;                // the DESC block's lines, joined by line breaks
};

// Replaces the world's scene (bodies, vessels, date, focus, displays; the loaded
// modules stay) with the scenario. The whole text is checked first: on an error
// the world is left exactly as it was.
OAPIFUNC ScenarioLoad loadScenarioText(std::string_view text, const std::string& sourceName);
// The largest scenario file read: some four times a scene of 10,000 vessels
// with tanks, thrusters and attitude written out.
inline constexpr std::size_t kMaxScenarioBytes = std::size_t{16} << 20;

// The same for a file; a file that cannot be read, or is larger than
// kMaxScenarioBytes, is an error naming the path.
OAPIFUNC ScenarioLoad loadScenarioFile(const std::string& path);

// The world as scenario text, with a DESC block holding description unless it is
// empty. Loading the text gives back the same world, and saving that the same text.
OAPIFUNC std::string saveScenarioText(std::string_view description = {});
// Writes the text to a temporary file beside path and renames it over path, so
// that path never holds a half-written scenario. False with the reason in error.
OAPIFUNC bool saveScenarioFile(const std::string& path, std::string& error, std::string_view description = {});

}  // namespace simhost
