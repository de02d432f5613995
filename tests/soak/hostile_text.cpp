#include "tests/soak/hostile_text.h"

#include <cctype>
#include <cstdio>
#include <iterator>

namespace soak {

namespace {

template <typename T>
const T& pick(std::mt19937_64& rng, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
}

int below(std::mt19937_64& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

std::string randomBytes(std::mt19937_64& rng, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(1 + below(rng, 255));
    return text;
}

}  // namespace

std::string numberText(std::mt19937_64& rng) {
    static const std::vector<std::string> odd = {
        "0", "-0", "1", "-1", "-5", "nan", "NaN", "-nan", "inf", "-inf", "1e38", "3.4e38", "3.5e38", "1e39", "1e308",
        "1e400", "-1e400", "1e-45", "1e-50", "0x1p3", "12abc", "  7  ", "", " ", "+", "-", ".", "1.5.5", "1,5", "1e",
        "99999999999999999999999999999999999999999", "0.000000000000000000000000000000000000000001"};
    char text[64];
    switch (below(rng, 4)) {
        case 0:
            return pick(rng, odd);
        case 1:
            std::snprintf(text, sizeof text, "%.6g", std::uniform_real_distribution<double>(0.0, 1e5)(rng));
            return text;
        case 2:
            std::snprintf(text, sizeof text, "%.17g", std::uniform_real_distribution<double>(-1e6, 1e6)(rng));
            return text;
        default:
            std::snprintf(text, sizeof text, "%de%d", below(rng, 100) - 50, below(rng, 700) - 350);
            return text;
    }
}

std::string nameText(std::mt19937_64& rng, const std::vector<std::string>& known) {
    switch (below(rng, 6)) {
        case 0:
        case 1:
            return pick(rng, known);
        case 2: {
            std::string name = pick(rng, known);
            for (char& c : name) {
                if (c == ' ' && below(rng, 2)) c = '_';
                else if (below(rng, 3) == 0) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            return name;
        }
        case 3:
            return std::string(300, static_cast<char>('A' + below(rng, 26)));
        case 4: {
            static const std::vector<std::string> nowhere = {"Nowhere", "Vulcan", "Ion Tug 2", "Earth Moon", "",
                                                             " ", "Ion__Tug", "Ünïcødé", "Ion\tTug"};
            return pick(rng, nowhere);
        }
        default:
            return randomBytes(rng, static_cast<std::size_t>(below(rng, 400)));
    }
}

std::string anyText(std::mt19937_64& rng, const std::vector<std::string>& known) {
    return below(rng, 2) ? numberText(rng) : nameText(rng, known);
}

}  // namespace soak
