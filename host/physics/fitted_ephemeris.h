// The bodies' ephemeris as the simulation reads it: each closed orbit about
// its parent as piecewise Chebyshev series fitted to the analytic model
// (ephemeris.h), a segment built the first time a date inside it is asked for
// and kept for the rest of the run, and read through quartic windows of a
// quarter of an hour cut from it (quartic_window.h), each built when a date
// first falls in it. An orbit that cannot be fitted (open, or invalid) is
// evaluated from the model directly.
//
// Fit error against the model over 2000-2030 (tests/host/fitted_ephemeris_test.cpp),
// largest of ~88,600 dates: Earth-Moon barycentre 2.3 cm and 1e-6 m/s, Mars
// 1.9 cm and 1e-6 m/s, the Moon about Earth 1.3 mm and 3e-5 m/s. The planets'
// figures are the rounding of the model's own arguments at those dates (its
// mean longitude is some 160 rad); the Moon's velocity figure is the model's,
// whose velocity leaves out the ecliptic's slow turning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/physics/chebyshev_segment.h"
#include "host/physics/ephemeris.h"
#include "host/physics/physical_constants.h"
#include "host/physics/quartic_window.h"

namespace simhost {

class OAPIFUNC FittedEphemeris {
public:
    // Takes a copy of the bodies (parents before children). A body on the very
    // orbit (to the bit, with the same GM about its parent) of one of the bodies
    // before, or of the last few set aside, keeps that body's segments: a fit
    // depends on nothing else, so a scene loaded again (or grown by a body)
    // fits nothing anew.
    void setBodies(const BodyOrbit* orbits, std::size_t count);
    std::size_t size() const { return orbits_.size(); }
    const std::vector<BodyOrbit>& orbits() const { return orbits_; }

    // Global position (m) and velocity (m/s) of every body at date mjd, as
    // ephemerisStates gives them, into out[0..size()). When velocities is
    // false only the positions are written.
    void states(double mjd, StateVectors* out, bool velocities = true);
    // Body i's system about its parent's centre, as orbitState gives it.
    StateVectors relativeState(std::size_t i, double mjd);

    // The days each of body i's segments covers and its coefficients per axis
    // (0 when the body is evaluated directly); how many segments are built.
    double segmentDays(std::size_t i) const { return fits_[i].span; }
    // The longest step (s) over which midpointPosition stays within a
    // millimetre of the fit for every body: a two-thousandth of the shortest
    // segment, and 0 when some body is evaluated from its model directly.
    double midpointStepLimit() const { return midpointStepLimit_; }
    int segmentCoefficients(std::size_t i) const { return fits_[i].coefficients; }
    std::size_t segmentsBuilt() const;

private:
    struct Fit {
        double mu = 0.0;       // of the orbit about the parent (m^3/s^2)
        double span = 0.0;     // days per segment; 0: not fitted
        int coefficients = 0;
        // By index from J2000; at most kKeptSegments, so that a long flight's
        // memory does not grow with its length.
        std::unordered_map<std::int64_t, ChebyshevSegment> segments;
        const ChebyshevSegment* last = nullptr;  // the segment used last
        std::int64_t lastIndex = 0;
        // Each segment is read through windows of a few minutes, windowsPerSegment
        // to a segment, windowDays each; the one read last.
        std::int64_t windowsPerSegment = 0;
        double windowDays = 0.0, perWindow = 0.0;
        QuarticWindow window;
        std::int64_t windowIndex = 0;
        bool hasWindow = false;
    };
    // The window holding date mjd: index floor((mjd - J2000) / windowDays),
    // found the same way whichever window was used before. Window k lies in
    // segment floor(k / windowsPerSegment).
    const QuarticWindow& windowAt(std::size_t i, double mjd) {
        Fit& fit = fits_[i];
        const double x = (mjd - kJ2000Mjd) * fit.perWindow;
        auto index = static_cast<std::int64_t>(x);
        if (x < static_cast<double>(index)) --index;  // floor, without a library call
        if (fit.hasWindow && fit.windowIndex == index) return fit.window;
        return buildWindow(i, index);
    }
    const QuarticWindow& buildWindow(std::size_t i, std::int64_t index);
    const ChebyshevSegment& segment(std::size_t i, std::int64_t index) {
        Fit& fit = fits_[i];
        if (fit.last && fit.lastIndex == index) return *fit.last;
        return buildSegment(i, index);
    }
    const ChebyshevSegment& buildSegment(std::size_t i, std::int64_t index);

    // A fit set aside by setBodies, with the orbit it was made for.
    struct SetAside {
        BodyOrbit orbit;
        Fit fit;
    };

    std::vector<BodyOrbit> orbits_;
    std::vector<double> weights_;  // barycentreWeight of each body
    SatelliteLists satellites_;    // with those weights
    std::vector<Fit> fits_;
    std::vector<SetAside> setAside_;  // the most recent last
    double midpointStepLimit_ = 0.0;
};

// A body's position (m) halfway through a step of dt seconds, by cubic Hermite
// interpolation between its states at the step's ends: within 1e-7 m of the
// fitted one for the built-in bodies at FittedEphemeris::midpointStepLimit.
inline VECTOR3 midpointPosition(const StateVectors& a, const StateVectors& b, double dt) {
    return (a.pos + b.pos) * 0.5 + (a.vel - b.vel) * (dt * 0.125);
}

}  // namespace simhost
