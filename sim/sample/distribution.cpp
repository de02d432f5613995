#include "sim/sample/distribution.h"

#include <algorithm>
#include <boost/math/special_functions/erf.hpp>
#include <cmath>

namespace zolksim {

namespace {

constexpr double kSqrt2 = 1.41421356237309504880;

// The standard normal's cumulative probability, and its inverse.
double phi(double z) { return 0.5 * std::erfc(-z / kSqrt2); }
double phiInverse(double p) { return -kSqrt2 * boost::math::erfc_inv(2.0 * p); }

}  // namespace

double quantile(const Distribution& d, double u) {
    if (d.kind == DistributionKind::Uniform) return d.min + (d.max - d.min) * u;
    if (d.sigma == 0.0) return std::clamp(d.mean, d.min, d.max);
    // A range above the mean is drawn mirrored, in the lower tail, where the
    // cumulative probabilities keep their precision (near 1 they round away).
    const bool mirrored = d.min > d.mean;
    const double a = (d.min - d.mean) / d.sigma, b = (d.max - d.mean) / d.sigma;  // the ends, in sigmas
    const double lo = phi(mirrored ? -b : a), hi = phi(mirrored ? -a : b);
    const double p = lo + (hi - lo) * (mirrored ? 1.0 - u : u);
    if (!(p > 0.0)) return mirrored ? d.max : d.min;  // deeper in a tail than doubles reach
    if (!(p < 1.0)) return mirrored ? d.min : d.max;
    const double z = mirrored ? -phiInverse(p) : phiInverse(p);
    return std::clamp(d.mean + d.sigma * z, d.min, d.max);
}

std::string distributionProblem(const Distribution& d) {
    if (d.kind == DistributionKind::Uniform) {
        if (!std::isfinite(d.min) || !std::isfinite(d.max) || !(d.min < d.max))
            return "a uniform distribution needs finite min < max";
        return "";
    }
    if (!std::isfinite(d.mean) || !std::isfinite(d.sigma) || d.sigma < 0.0)
        return "a normal distribution needs a finite mean and a sigma of at least zero";
    if (!(d.min < d.max) || d.max < d.mean - 37 * d.sigma || d.min > d.mean + 37 * d.sigma)
        return "the truncation must keep part of the distribution (min < max, within 37 sigma of the mean)";
    if (d.sigma == 0.0 && (d.mean < d.min || d.mean > d.max)) return "the mean lies outside min and max";
    return "";
}

}  // namespace zolksim
