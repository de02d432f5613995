// Loading and saving scenarios: text and files, and the messages about them.
#include "host/scenario/scenario_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/scenario/scenario_description.h"
#include "host/scenario/scenario_text.h"

namespace simhost {

std::string messageText(const ScenarioMessage& message) {
    std::string text = message.file;
    if (message.line > 0) text += joined(":", std::to_string(message.line));
    return joined(text, ": ", message.text);
}

ScenarioLoad loadScenarioText(std::string_view text, const std::string& sourceName) {
    ScenarioLoad result;
    ScenarioDescription scenario;
    if (!parseScenario(text, sourceName, scenario, result.warnings, result.error)) return result;
    applyScenario(scenario, sourceName, result.warnings);
    result.description = std::move(scenario.text);
    result.ok = true;
    return result;
}

ScenarioLoad loadScenarioFile(const std::string& path) {
    ScenarioLoad refused;
    // A directory opens as a stream on some systems and reads as nothing.
    std::error_code ec;
    std::ifstream file;
    if (!std::filesystem::is_directory(path, ec)) file.open(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    // The whole text is held while it is read: a file beyond any real scene
    // (or one that never ends) is refused rather than read into memory.
    while ((file.read(buffer, sizeof buffer) || file.gcount() > 0) && text.size() <= kMaxScenarioBytes)
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (!file.is_open() || file.bad()) {
        refused.error = ScenarioMessage{path, 0, "cannot read the file"};
        return refused;
    }
    if (text.size() > kMaxScenarioBytes) {
        refused.error = ScenarioMessage{path, 0, joined("larger than a scenario may be (", std::to_string(kMaxScenarioBytes >> 20), " MiB)")};
        return refused;
    }
    return loadScenarioText(text, path);
}

bool saveScenarioFile(const std::string& path, std::string& error, std::string_view description) {
    const std::string text = saveScenarioText(description);
    const std::string temporary = path + ".saving";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            error = joined("cannot write ", temporary);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        error = joined("cannot replace ", path, ": ", ec.message());
        return false;
    }
    return true;
}

}  // namespace simhost
