// Names of bodies, vessels, display modes and scenario words compare without
// regard to the letter case of ASCII letters, everywhere in the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace simhost {

// Inline: lookups by name run several times per step for every module, so the
// comparison must not call into the C library.
inline char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether n bytes at a and b are equal, compared a word at a time inline
// (names are short: a library call would cost more than the comparison).
inline bool sameBytes(const char* a, const char* b, std::size_t n) {
    auto word8 = [](const char* p) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    auto word4 = [](const char* p) {
        std::uint32_t w;
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    if (n >= 8) {
        // Whole words, then the last eight bytes (overlapping the words before).
        for (std::size_t i = 0; i + 8 < n; i += 8)
            if (word8(a + i) != word8(b + i)) return false;
        return word8(a + n - 8) == word8(b + n - 8);
    }
    if (n >= 4) return word4(a) == word4(b) && word4(a + n - 4) == word4(b + n - 4);
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Names are mostly given as they are kept: one block compare settles those.
    if (sameBytes(a.data(), b.data(), a.size())) return true;
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
