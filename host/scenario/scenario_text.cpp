#include "host/scenario/scenario_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace simhost {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
}  // namespace

std::string numberText(double v) {
    std::string out;
    appendNumber(out, v);
    return out;
}

void appendNumber(std::string& out, double v) {
    char buffer[32];  // the longest shortest form, "-2.2250738585072014e-308", is 24 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, result.ptr);
}

std::string numberText(int v) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string fixedText(double v) {
    char buffer[352];  // the longest, -DBL_MAX, takes 317 characters
    const int length = std::snprintf(buffer, sizeof buffer, "%.6f", v);
    std::string text(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    if (text.find('.') == std::string::npos) return text;  // nan, inf
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text += '0';
    return text;
}

bool parseNumber(std::string_view word, double& v) {
    if (word.size() > 1 && word[0] == '+' && word[1] != '-' && word[1] != '+') word.remove_prefix(1);
    double value = 0.0;
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return false;
    v = value;
    return true;
}

bool parseInt(std::string_view word, int& v) {
    int value = 0;
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) return false;
    v = value;
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitWords(std::string_view s) {
    std::vector<std::string_view> words;
    std::string_view rest = trimmed(s);
    while (!rest.empty()) words.push_back(firstWord(rest, rest));
    return words;
}

std::string_view firstWord(std::string_view s, std::string_view& rest) {
    s = trimmed(s);
    std::size_t end = 0;
    while (end < s.size() && !isBlank(s[end])) ++end;
    rest = trimmed(s.substr(end));
    return s.substr(0, end);
}

}  // namespace simhost
