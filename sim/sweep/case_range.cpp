#include "sim/sweep/case_range.h"

#include <charconv>

namespace zolksim {

namespace {

// Digits only: no sign, blank or exponent.
bool caseNumber(const std::string& text, std::size_t& number) {
    const char* end = text.data() + text.size();
    const auto [stop, failed] = std::from_chars(text.data(), end, number);
    return !text.empty() && failed == std::errc() && stop == end && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool parseCaseRange(const std::string& text, std::size_t caseCount, CaseRange& range, std::string& error) {
    const std::size_t dash = text.find('-');
    const std::string first = text.substr(0, dash), last = dash == std::string::npos ? first : text.substr(dash + 1);
    if (!caseNumber(first, range.first) || !caseNumber(last, range.last)) {
        error = "--case takes a case number N or a range A-B, not '" + text + "'";
        return false;
    }
    if (range.last < range.first) {
        error = "--case " + text + ": the range ends before it starts";
        return false;
    }
    if (range.first >= caseCount) {
        error = "the study has cases 0 to " + std::to_string(caseCount - 1) + ", not " + std::to_string(range.first);
        return false;
    }
    if (range.last >= caseCount) range.last = caseCount - 1;
    return true;
}

std::string caseRangeText(const CaseRange& range) {
    return range.first == range.last ? std::to_string(range.first)
                                     : std::to_string(range.first) + "-" + std::to_string(range.last);
}

}  // namespace zolksim
