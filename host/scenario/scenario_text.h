// Words and numbers of scenario text: trimming, splitting, and numbers written
// so that they read back bit for bit. Words compare as names (host/world/names.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace simhost {

// The shortest text that reads back as exactly the same double (std::to_chars).
std::string numberText(double v);
void appendNumber(std::string& out, double v);
std::string numberText(int v);
// Six decimals with the trailing zeros cut, one kept after the point: 250000.0,
// 0.1, 1234.56789. The host's form for a double item of a module.
std::string fixedText(double v);

// A whole word as a finite double (a leading '+' allowed) or as an int; false
// for anything else, leaving v untouched.
bool parseNumber(std::string_view word, double& v);
bool parseInt(std::string_view word, int& v);

// Without leading and trailing blanks (space, tab, CR, vertical tab, form feed).
std::string_view trimmed(std::string_view s);
// The blank-separated words of s.
std::vector<std::string_view> splitWords(std::string_view s);
// The first word of s; rest receives what follows it, trimmed.
std::string_view firstWord(std::string_view s, std::string_view& rest);

// The parts appended in order. Used for messages instead of "text" + string,
// which g++ 12 at -O2 warns about wrongly (-Wrestrict).
template <class... Parts>
std::string joined(const Parts&... parts) {
    std::string out;
    (out += ... += parts);
    return out;
}

}  // namespace simhost
