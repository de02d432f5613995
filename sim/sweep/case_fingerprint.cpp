#include "sim/sweep/case_fingerprint.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "sim/run/command_line.h"

namespace zolksim {

namespace {

class Fnv1a {
public:
    // Each part ends with its length, so that no two lists of parts join to the
    // same bytes ("ab" + "c" against "a" + "bc").
    void add(std::string_view part) {
        for (char c : part) byte(static_cast<unsigned char>(c));
        for (std::size_t n = part.size(), i = 0; i < 8; ++i, n >>= 8) byte(static_cast<unsigned char>(n & 0xff));
    }
    // Every bit of the double, so any two values that differ fly apart.
    void add(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        add(std::string_view(text));
    }
    std::string hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

private:
    void byte(unsigned char b) {
        hash_ ^= b;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

std::string caseFingerprint(const Study& study, std::size_t index) {
    Fnv1a hash;
    hash.add(kVersionText);
    hash.add(study.goal.text());
    hash.add(study.limitDays);
    bool stepVaried = false;
    for (const VariedParameter& v : study.varied) stepVaried = stepVaried || v.parameter == StudyParameter::Step;
    if (!stepVaried) hash.add(study.step);  // else the case's own step, below
    hash.add(study.scenarioText);
    const std::vector<double> values = study.caseValues(index);
    for (std::size_t p = 0; p < study.varied.size(); ++p) {
        hash.add(parameterInfo(study.varied[p].parameter).key);
        hash.add(values[p]);
    }
    return hash.hex();
}

}  // namespace zolksim
