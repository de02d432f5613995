// Text a pilot might type into the page's boxes, from the plain to the hostile:
// numbers of every kind, names of things that exist and of things that do not.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace soak {

// A number as text: plain, huge, tiny, negative, not a number, or malformed.
std::string numberText(std::mt19937_64& rng);
// A name: one of known (possibly with its letter case or spaces changed), one of
// 300 characters, one that names nothing, or random bytes (no NUL).
std::string nameText(std::mt19937_64& rng, const std::vector<std::string>& known);
// Either of the two.
std::string anyText(std::mt19937_64& rng, const std::vector<std::string>& known);

}  // namespace soak
