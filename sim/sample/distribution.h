// The distributions a dispersion draws from, each drawn by its inverse
// cumulative distribution from one uniform number, so that a draw takes one
// counter and the same uniform gives the same value everywhere.
#pragma once

#include <string>

namespace zolksim {

enum class DistributionKind { Normal, Uniform };

struct Distribution {
    DistributionKind kind = DistributionKind::Normal;
    double mean = 0.0, sigma = 0.0;  // normal
    // Uniform: the range. Normal: a truncation, each end infinite when not given.
    double min = 0.0, max = 0.0;
};

// The value at cumulative probability u in (0, 1). A truncated normal maps u
// onto the probabilities between its ends.
double quantile(const Distribution& d, double u);

// Empty when the distribution can be drawn from, else why not.
std::string distributionProblem(const Distribution& d);

}  // namespace zolksim
