// The followed vessel's orbit, orbit by orbit: an orbit runs from one
// apoapsis passage to the next (the vessel turning from rising to falling),
// so that a burn window around periapsis lies whole within one. For each it
// keeps the osculating elements at its end, their time-means over it, and the
// propellant, burn time and delta-v it took. The means shed the swing that an
// oblate body's pull gives the osculating elements within each orbit (some
// 20 km in the default mission's apoapsis), which is why goals on them do not
// flicker (docs/goal-condition.md).
//
// Cheap enough to observe after every step: the elements come from the state
// vectors directly (a square root per step, a logarithm while burning), and
// what it keeps grows with the orbits, not the steps.
#pragma once

#include <cstddef>
#include <vector>

#include "host/world/body.h"
#include "host/world/vessel.h"

namespace zolksim {

// The orbit's shape at a moment: altitudes above the body's mean radius.
struct OrbitShape {
    double periapsisKm = 0.0;
    double apoapsisKm = 0.0;  // infinite on an open orbit
    double periodMin = 0.0;   // infinite on an open orbit
    double eccentricity = 0.0;
};

struct OrbitRow {
    std::size_t orbit = 0;  // 0: from the start to the first apoapsis passage
    bool full = false;      // apoapsis to apoapsis (the first and the last row may be parts)
    double start = 0.0, end = 0.0;  // simulated s
    OrbitShape osculating;          // at the end
    double inclinationDeg = 0.0;    // at the end, to the body's equator (to the ecliptic for a body without a known pole)
    OrbitShape mean;                // time-means over the row's span
    double propellantKg = 0.0;      // left at the end, all tanks
    double burnSeconds = 0.0;       // the main engines burned within
    double deltaV = 0.0;            // m/s the engines gave within: exhaust speed x ln(mass before / after)
    double deltaVTotal = 0.0;       // m/s since the start
    // Burn time, propellant and delta-v go by whole steps: the step in which
    // the apoapsis passes belongs to the orbit it ends.
};

class OrbitHistory {
public:
    OrbitHistory(const simhost::Vessel& vessel, const simhost::Body& body);

    // After every step (first at the start), with the simulated time reached.
    void observe(double time);
    // Closes the last, partial row at the end of the flight.
    void finish(double time);

    // The rows closed so far, in order.
    const std::vector<OrbitRow>& rows() const { return rows_; }
    // The last and the one before it of the full orbits; null when there are
    // not that many yet.
    const OrbitRow* lastFull() const { return fullCount_ > 0 ? &rows_[lastFullIndex_] : nullptr; }
    const OrbitRow* previousFull() const { return fullCount_ > 1 ? &rows_[previousFullIndex_] : nullptr; }
    std::size_t fullOrbits() const { return fullCount_; }
    double deltaVTotal() const { return deltaVTotal_; }  // m/s since the start

private:
    struct Moment {
        double time;
        OrbitShape shape;
        double radialSpeed;  // r . v, m^2/s: its sign tells rising from falling
    };
    Moment moment(double time) const;
    void accumulate(const Moment& from, const Moment& to);
    void close(const Moment& at, bool full);

    const simhost::Vessel& vessel_;
    const simhost::Body& body_;
    VECTOR3 pole_;  // unit, global axes
    bool started_ = false;
    Moment last_{};
    double lastMass_ = 0.0;
    double rowStart_ = 0.0;
    OrbitShape sums_;  // time-integrals over the open row, km s, min s, s
    double burn_ = 0.0, deltaV_ = 0.0, deltaVTotal_ = 0.0;
    std::size_t fullCount_ = 0, lastFullIndex_ = 0, previousFullIndex_ = 0;
    std::vector<OrbitRow> rows_;
};

}  // namespace zolksim
