#include "host/physics/fitted_ephemeris.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <cmath>
#include <numbers>

#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

// Coefficients per axis; with the spans below they put the fit's error under
// a millimetre, below the rounding of the model's own arguments.
constexpr int kLunarCoefficients = 12;
constexpr int kKeplerCoefficients = 10;
// The library's planets (VSOP87) carry centimetres of rounding from their long
// series: with ten coefficients Venus, which turns fastest, was fitted only to
// 5.4 cm over its 16-day segments; twelve keep each planet within 2.5 cm.
constexpr int kLibraryPlanetCoefficients = 12;
// The Moon's terms run down to periods of a week (4D, 3M'): four-day segments.
constexpr double kLunarSegmentDays = 4.0;
// A Kepler orbit gets segments of this share of the time it takes to sweep a
// radian at periapsis, capped at the planets' 16 days.
constexpr double kShareOfPeriapsisRadian = 0.5;
constexpr double kLongestSegmentDays = 16.0;
// A segment shorter than this (0.09 s) would give segment indices beyond an
// integer's range within the fitted dates (an absurd GM or orbit in a
// scenario); such an orbit is evaluated from its model directly.
constexpr double kShortestSegmentDays = 1e-6;
// Steps up to this share of the shortest segment take the bodies' midpoints by
// interpolation: a body moves through at most 2.5e-4 rad of its periapsis
// turn in such a step, and the cubic's error goes as the fourth power of that.
constexpr double kMidpointShareOfSegment = 1.0 / 2000.0;
// The longest window a segment is read through (s): fifteen minutes keeps the
// quartic within 1e-9 m of the Moon's segment. Windows come a power of two
// to a segment, so that a four- or sixteen-day segment's (675 s) have centres
// and lengths that are exact binary fractions of a day, and a date's place in
// its window is as exact as the date.
constexpr double kLongestWindowSeconds = 900.0;

// Whether the orbit's motion carries the Moon's terms: the Moon's own, and
// the library's Earth-Moon barycentre, Earth's place plus the Moon's share,
// whose monthly swing cancels only to the two series' differences.
bool carriesLunarTerms(const BodyOrbit& orbit) {
    return orbit.model == OrbitModel::LunarTheory ||
           (orbit.library == LibraryBody::EarthMoonBarycentre && libraryEphemerisAvailable());
}

double segmentDaysFor(const BodyOrbit& orbit, double mu) {
    if (!closedOrbit(orbit)) return 0.0;
    if (carriesLunarTerms(orbit)) return kLunarSegmentDays;
    const ELEMENTS& el = orbit.elements;
    const double n = orbit.model == OrbitModel::SecularElements
                         ? std::fabs(orbit.ratesPerCentury.L) / (kDaysPerJulianCentury * kSecondsPerDay)
                         : std::sqrt(mu / (el.a * el.a * el.a));  // rad/s
    if (!(n > 0.0) || !std::isfinite(n)) return 0.0;
    // Angular rate at periapsis: n sqrt(1 + e) / (1 - e)^1.5.
    const double e = el.e;
    const double periapsisRate = n * std::sqrt(1.0 + e) / std::pow(1.0 - e, 1.5);
    const double days = std::min(kLongestSegmentDays, kShareOfPeriapsisRadian / periapsisRate / kSecondsPerDay);
    return days >= kShortestSegmentDays ? days : 0.0;
}

// Segments kept per body: a flight moves on through them and never returns,
// so the oldest are dropped (as a whole, which is as good) when this many are
// kept. Sixteen of the Moon's cover two months, of a planet's eight.
constexpr std::size_t kKeptSegments = 16;
// Fits of bodies no longer in the scene kept for their return (a scene cleared
// and loaded again): enough for the built-in bodies twice over.
constexpr std::size_t kSetAsideFits = 8;

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool sameElements(const ELEMENTS& a, const ELEMENTS& b) {
    return sameBits(a.a, b.a) && sameBits(a.e, b.e) && sameBits(a.i, b.i) && sameBits(a.theta, b.theta) &&
           sameBits(a.omegab, b.omegab) && sameBits(a.L, b.L);
}

// The same motion about the parent, whatever the parent's index.
bool sameOrbit(const BodyOrbit& a, const BodyOrbit& b) {
    return a.model == b.model && sameBits(a.gm, b.gm) && sameBits(a.epochMjd, b.epochMjd) &&
           sameElements(a.elements, b.elements) && sameElements(a.ratesPerCentury, b.ratesPerCentury);
}

// Dates whose segment index fits an integer with room to spare (a million
// years either side of J2000); anything else, NaN included, goes to the model.
bool withinFittedDates(double mjd) {
    constexpr double kFarthestDays = 365.25e6;
    return std::fabs(mjd - kJ2000Mjd) < kFarthestDays;
}

}  // namespace

void FittedEphemeris::setBodies(const BodyOrbit* orbits, std::size_t count) {
    for (std::size_t i = 0; i < fits_.size(); ++i)
        if (!fits_[i].segments.empty()) setAside_.push_back({orbits_[i], std::move(fits_[i])});
    orbits_.assign(orbits, orbits + count);
    weights_.resize(count);
    fits_.clear();
    fits_.resize(count);
    midpointStepLimit_ = kLongestSegmentDays * kSecondsPerDay * kMidpointShareOfSegment;
    for (std::size_t i = 0; i < count; ++i) {
        weights_[i] = barycentreWeight(orbits, count, i);
        Fit& fit = fits_[i];
        fit.mu = orbitMu(orbits, count, i);
        if (!hasParent(orbits, i)) continue;
        fit.span = segmentDaysFor(orbits[i], fit.mu);
        fit.windowsPerSegment = static_cast<std::int64_t>(
            std::bit_ceil(static_cast<std::uint64_t>(std::ceil(fit.span * kSecondsPerDay / kLongestWindowSeconds))));
        fit.windowDays = fit.span > 0.0 ? fit.span / static_cast<double>(fit.windowsPerSegment) : 0.0;
        fit.perWindow = fit.span > 0.0 ? 1.0 / fit.windowDays : 0.0;
        const bool lunar = carriesLunarTerms(orbits[i]);
        const bool libraryPlanet = orbits[i].library != LibraryBody::None && libraryEphemerisAvailable();
        fit.coefficients = fit.span > 0.0 ? (lunar          ? kLunarCoefficients
                                             : libraryPlanet ? kLibraryPlanetCoefficients
                                                             : kKeplerCoefficients)
                                          : 0;
        midpointStepLimit_ = std::min(midpointStepLimit_, fit.span * kSecondsPerDay * kMidpointShareOfSegment);
        // The most recent fit for the same orbit and GM (hence span and size) first.
        for (auto old = setAside_.rbegin(); old != setAside_.rend(); ++old) {
            if (sameOrbit(old->orbit, orbits[i]) && sameBits(old->fit.mu, fit.mu)) {
                fit.segments = std::move(old->fit.segments);
                setAside_.erase(std::next(old).base());
                break;
            }
        }
    }
    if (setAside_.size() > kSetAsideFits)
        setAside_.erase(setAside_.begin(), setAside_.end() - static_cast<std::ptrdiff_t>(kSetAsideFits));
}

std::size_t FittedEphemeris::segmentsBuilt() const {
    std::size_t n = 0;
    for (const Fit& fit : fits_) n += fit.segments.size();
    return n;
}

const ChebyshevSegment& FittedEphemeris::buildSegment(std::size_t i, std::int64_t index) {
    Fit& fit = fits_[i];
    auto found = fit.segments.find(index);
    if (found == fit.segments.end()) {
        const BodyOrbit& orbit = orbits_[i];
        const double mu = fit.mu;
        const double start = kJ2000Mjd + static_cast<double>(index) * fit.span;
        auto position = [&](double date) { return orbitPosition(orbit, mu, date); };
        if (fit.segments.size() >= kKeptSegments) fit.segments.clear();
        found = fit.segments.emplace(index, fitChebyshev(start, fit.span, fit.coefficients, position)).first;
    }
    fit.last = &found->second;
    fit.lastIndex = index;
    return found->second;
}

const QuarticWindow& FittedEphemeris::buildWindow(std::size_t i, std::int64_t index) {
    Fit& fit = fits_[i];
    // floor(index / windowsPerSegment), for negative indices too.
    std::int64_t segmentIndex = index / fit.windowsPerSegment;
    if (segmentIndex * fit.windowsPerSegment > index) --segmentIndex;
    const std::int64_t within = index - segmentIndex * fit.windowsPerSegment;
    fit.window = fitQuarticWindow(segment(i, segmentIndex), within, fit.windowsPerSegment);
    fit.windowIndex = index;
    fit.hasWindow = true;
    return fit.window;
}

StateVectors FittedEphemeris::relativeState(std::size_t i, double mjd) {
    if (fits_[i].span == 0.0 || !withinFittedDates(mjd)) return orbitState(orbits_[i], fits_[i].mu, mjd);
    StateVectors s{};
    evaluateQuarticWindow(windowAt(i, mjd), mjd, s.pos, &s.vel);
    return s;
}

void FittedEphemeris::states(double mjd, StateVectors* out, bool velocities) {
    const std::size_t count = orbits_.size();
    const bool fitted = withinFittedDates(mjd);
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasParent(orbits_.data(), i)) continue;
        if (fits_[i].span == 0.0 || !fitted) {
            const StateVectors s = orbitState(orbits_[i], fits_[i].mu, mjd);
            out[i].pos = s.pos;
            if (velocities) out[i].vel = s.vel;
        } else {
            evaluateQuarticWindow(windowAt(i, mjd), mjd, out[i].pos, velocities ? &out[i].vel : nullptr);
        }
    }
    composeGlobalStates(orbits_.data(), count, weights_.data(), out, velocities);
}

}  // namespace simhost
