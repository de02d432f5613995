// The followed vessel's orbit through a run: periapsis and apoapsis altitude
// over time, and the periods when its main engines burned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/world/body.h"
#include "host/world/vessel.h"

namespace zolksim {

struct OrbitSample {
    double time;               // simulated s
    double periapsisAltitude;  // m above the body's mean radius
    double apoapsisAltitude;   // m; infinite on an open orbit
    double period;             // s; infinite on an open orbit
};

struct BurnPeriod {
    double start, end;  // simulated s
};

// The body whose pull on a vessel is strongest (largest GM/d^2); null when the
// world has no bodies.
const simhost::Body* dominantBodyOf(const simhost::Vessel& vessel);

// The vessel's orbit about the body now; false when the host cannot give one.
bool sampleOrbit(simhost::Vessel& vessel, const simhost::Body& body, double time, OrbitSample& sample);

// Whether any main engine is thrusting: throttled up with propellant to burn.
bool mainEnginesBurning(const simhost::Vessel& vessel);

// What the track keeps does not grow with the run's length: a sample every
// `stride` observations, and burn periods with gaps shorter than `burnGap`
// between them joined into one (the count and total time of the burns stay
// exact), so a run of n steps keeps about n / stride samples and at most
// duration / burnGap periods.
class OrbitTrack {
public:
    // Samples every `stride` observations (and always the first and last);
    // burnGap in simulated s (0: every burn kept apart).
    OrbitTrack(simhost::Vessel& vessel, const simhost::Body& body, std::size_t stride, double burnGap = 0.0);
    // The track of a run of `steps` steps over `duration` simulated s: about
    // 4000 samples and at most 4000 burn periods, however long the run.
    static OrbitTrack forRun(simhost::Vessel& vessel, const simhost::Body& body, std::uint64_t steps, double duration);

    // Called after every step of dt s with the time reached (and once at the
    // start with dt 0). Between samples it only looks at the main engines.
    void observe(double time, double dt) {
        if (untilSample_-- == 0) {
            untilSample_ = stride_ - 1;
            sample(time);
        }
        noteBurn(time, dt);
    }
    // Closes an open burn and takes the last sample.
    void finish(double time);

    const std::vector<OrbitSample>& samples() const { return samples_; }
    // The periods in which the engines burned, short gaps joined (see above).
    const std::vector<BurnPeriod>& burns() const { return burns_; }
    const simhost::Body& body() const { return body_; }
    simhost::Vessel& vessel() const { return vessel_; }
    std::size_t burnCount() const { return burnCount_; }
    double burnTime() const { return burnTime_; }  // s in all

private:
    void sample(double time);
    void noteBurn(double time, double dt);

    simhost::Vessel& vessel_;
    const simhost::Body& body_;
    std::size_t stride_;
    double burnGap_;
    std::size_t untilSample_ = 0;  // observations to go before the next sample
    double lastSampled_ = -1.0;
    bool burning_ = false;
    std::size_t burnCount_ = 0;
    double burnTime_ = 0.0;  // s
    std::vector<OrbitSample> samples_;
    std::vector<BurnPeriod> burns_;
};

}  // namespace zolksim
