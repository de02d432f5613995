// Names of bodies, vessels, display modes and scenario words compare without
// regard to the letter case of ASCII letters, everywhere in the host.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace simhost {

// Inline: lookups by name run several times per step for every module, so the
// comparison must not call into the C library.
inline char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Names are mostly given as they are kept: one block compare settles those.
    if (a == b) return true;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

// The name with its ASCII letters in lower case: equal for names that sameName
// takes as the same, so it can key a set or map of names.
inline std::string foldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = foldCase(c);
    return folded;
}

inline bool startsWithName(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

}  // namespace simhost
