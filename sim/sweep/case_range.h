// The cases one `--case` flies: "N", or "A-B" for A to B, both included, so
// that a cluster's task can fly a group of short cases.
#pragma once

#include <cstddef>
#include <string>

namespace zolksim {

struct CaseRange {
    std::size_t first = 0, last = 0;  // last >= first
};

// Reads text against a study of caseCount cases. An end past the last case
// means the last, so that a job array's arithmetic need not know the count;
// the start must be a case. False with the reason in error.
bool parseCaseRange(const std::string& text, std::size_t caseCount, CaseRange& range, std::string& error);

// "N" for one case, "A-B" for more: what parseCaseRange reads back.
std::string caseRangeText(const CaseRange& range);

}  // namespace zolksim
