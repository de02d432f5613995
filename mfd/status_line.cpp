#include "mfd/status_line.h"

#include <cerrno>
#include <cstdlib>

#include "frame/plugin_state.h"
#include "mfd/name_text.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

const char* skipBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The line starts with the three-letter key, in any letter case. Stops at a
// terminator, so a short line is never read past its end.
bool hasKey(const char* line, const char* key) {
    for (int i = 0; i < 3; ++i)
        if (line[i] == '\0' || upper(line[i]) != key[i]) return false;
    return true;
}

}  // namespace

bool endsStatusBlock(const char* line) {
    constexpr char kEnd[] = "END_MFD";
    if (!line) return false;
    for (int i = 0; kEnd[i] != '\0'; ++i)
        if (line[i] == '\0' || upper(line[i]) != kEnd[i]) return false;
    return true;
}

bool parseStatusInt(const char* text, std::int32_t& value) {
    const char* start = skipBlanks(text);
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(start, &end, 10);
    if (end == start || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<std::int32_t>(parsed);
    return true;
}

bool parseStatusDouble(const char* text, double& value) {
    const char* start = skipBlanks(text);
    char* end = nullptr;
    const double parsed = std::strtod(start, &end);  // an overflow gives an infinity, as "%lf" does
    if (end == start) return false;
    value = parsed;
    return true;
}

bool parseStatusName(const char* text, char (&name)[256]) {
    const char* start = skipBlanks(text);
    std::size_t length = 0;
    while (start[length] != '\0' && !isBlank(start[length])) ++length;
    if (length == 0) return false;
    if (length > kMaxNameChars) length = kMaxNameChars;
    for (std::size_t i = 0; i < length; ++i) name[i] = start[i];
    name[length] = '\0';
    return true;
}

void readStatusLine(const char* line, StatusRead& read) {
    PluginState& s = pluginState;
    if (!line) return;
    const char* value = line + 3;  // valid once a key has matched
    if (hasKey(line, "ATT")) {
        parseStatusInt(value, s.attitudeHold);
    } else if (hasKey(line, "ABP")) {
        parseStatusInt(value, s.autoBurn);
    } else if (hasKey(line, "MOT")) {
        if (parseStatusDouble(value, s.statusMot)) read.thrustRead = true;
    } else if (hasKey(line, "ISP")) {
        if (parseStatusDouble(value, s.statusIsp)) read.ispRead = true;
    } else if (hasKey(line, "RBD")) {
        parseStatusName(value, s.refName);
    } else if (hasKey(line, "VES")) {
        parseStatusName(value, s.vesselName);
    }
}
