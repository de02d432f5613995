// The bodies' gravity over one time step, for integrating the vessels.
//
// A vessel moves relative to a reference body, the one whose sphere of
// influence holds it at the step's start (sphere_of_influence.h). Its acceleration there is the reference body's pull plus
// every other body's pull in tidal form: its pull on the vessel minus its pull
// on the reference body. That is how the reference body itself is taken to
// move, so a vessel near Earth feels the Sun, the Moon and Mars only through
// their tides, as Earth's own motion on its ephemeris implies. The oblate
// bodies' zonal harmonics act on a vessel directly, whichever body it is
// integrated about (the ephemeris moves the bodies without them), within
// their reach (zonalReach).
#pragma once

#include <vector>

#include "host/physics/fitted_ephemeris.h"
#include "host/physics/gravity.h"
#include "host/physics/lanes.h"
#include "host/physics/zonal_gravity.h"

namespace simhost {

// Bodies follow the ephemeris. Their states at the start, middle and end of a
// step (the stage times of a whole-step RK4) are evaluated once and shared by
// all vessels; any other moment (a step split where a tank runs dry) is
// evaluated on demand. Allocates only in resize (and the ephemeris when it
// builds a segment).
class OAPIFUNC StepGravity {
public:
    // Makes room for count bodies.
    void resize(std::size_t count);
    // Starts a step of dt seconds from simulation time t0 (s). start holds the
    // bodies' states at t0 and must stay valid through the step; simulation time
    // 0 is the date startMjd. zonal, when given, holds each body's zonal field
    // (null for a point mass) and must stay valid through the step; each pole
    // is taken at every stage's own date, on the chord between its directions
    // at the two ends of a span of kPoleSpanDays (extended as far back),
    // worked out anew when the step starts outside it.
    void begin(FittedEphemeris& ephemeris, const StateVectors* start, double startMjd, double t0, double dt,
               const ZonalField* const* zonal = nullptr);
    // Over 0.01 day Earth's pole moves 2.7e-9 rad (1.5e-7 degrees), the Moon's
    // under 5e-6 rad, so that the chord strays from the pole's path by under
    // 1e-9 rad: Earth's J2 pull on a low orbit is 0.015 m/s^2, and a pole
    // fixed for the whole span instead would move a vessel by a millimetre a day.
    static constexpr double kPoleSpanDays = 0.01;

    // The body to integrate a vessel at global position r about, given the one
    // it was last integrated about (previous, -1 for none): the smallest sphere
    // of influence holding it at the step's start (influencingBody); -1 when
    // there are no bodies.
    int referenceBody(const VECTOR3& r, int previous) const;
    // Body i's global state s seconds into the step (s = 0 or the step's end).
    const StateVectors& bodyState(int i, double s);
    // The bodies' global states at the step's start, and their number.
    const StateVectors* startStates() const { return start_; }
    std::size_t bodyCount() const { return end_.size(); }
    // Acceleration (m/s^2, global axes) of a vessel at relPos (m) relative to
    // body ref, s seconds into the step: ref's pull and every other body's
    // tide. With ref -1, relPos is global and this the plain sum of pulls.
    VECTOR3 acceleration(int ref, double s, const VECTOR3& relPos);
    // Hands over the bodies' states at the end of the step, taking into's old
    // storage in exchange (same size, no allocation). Passed unaltered as the
    // next step's start, at the date this step ends, they carry the end
    // stage's work over; a caller that changes them in place (rather than in
    // another array, or at another date) must call resize first.
    void takeEndStates(std::vector<StateVectors>& into) { into.swap(end_); }

private:
    // The bodies at one stage time, and what the tides there need that does
    // not depend on the vessel, worked out once per reference body.
    struct Stage {
        const StateVectors* states = nullptr;
        int ref = -2;                    // the reference body rel and indirect are for; -2: none yet
        std::vector<PackedLanes> rel;    // each body's position relative to ref (m)
        VECTOR3 indirect{0.0, 0.0, 0.0}; // sum over k != ref of GM_k rel_k / |rel_k|^3: their pull on ref (m/s^2)
        double mjd = 0.0;                // the stage's date (MJD), at which the poles are taken
    };
    Stage& stageAt(double s);
    void prepare(Stage& stage, int ref) const;
    // True when start is the array of end states takeEndStates handed over
    // (unaltered, as its contract asks), this step starts at the date the last
    // one ended and on the same ephemeris: its end stage's work carries over.
    bool endStageCarriesTo(const FittedEphemeris& ephemeris, const StateVectors* start, double mjd) const;

    FittedEphemeris* ephemeris_ = nullptr;
    const StateVectors* start_ = nullptr;
    double startMjd_ = 0.0;
    double t0_ = 0.0;
    double dt_ = 0.0;
    std::vector<StateVectors> mid_, end_;  // mid_: positions only
    std::vector<StateVectors> other_;      // at otherTime_ (s into the step), positions only
    double otherTime_ = 0.0;
    bool otherValid_ = false;
    Stage stages_[4];  // at the start, middle and end of the step, and at otherTime_
    // Each body's zonal field this step (null: a point mass), and what goes
    // with it: its pole (unit, global axes) at polesMjd_ and the pole's rate
    // of change over the span from there (1/day), the field those were
    // worked out for, and the square of its reach (m^2).
    std::vector<const ZonalField*> fields_;
    std::vector<VECTOR3> poles_;
    std::vector<VECTOR3> poleRates_;
    std::vector<const ZonalField*> poleFields_;
    std::vector<double> polesMjd_;
    std::vector<double> reach2_;
    // Each body's squared Laplace radius (m^2), worked out for the orbits of
    // the ephemeris influenceFor_ (null: not yet, or the bodies changed).
    std::vector<double> influence2_;
    const FittedEphemeris* influenceFor_ = nullptr;
};

}  // namespace simhost
