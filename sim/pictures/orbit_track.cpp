#include "sim/pictures/orbit_track.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/world/world.h"

namespace zolksim {

const simhost::Body* dominantBodyOf(const simhost::Vessel& vessel) {
    const simhost::Body* strongest = nullptr;
    double strongestPull = -1.0;
    for (const auto& body : simhost::world().bodies()) {
        const VECTOR3 d{body->state.pos.x - vessel.pos.x, body->state.pos.y - vessel.pos.y,
                        body->state.pos.z - vessel.pos.z};
        const double distanceSquared = d.x * d.x + d.y * d.y + d.z * d.z;
        if (distanceSquared <= 0.0) continue;
        const double pull = body->gm / distanceSquared;
        if (pull > strongestPull) {
            strongestPull = pull;
            strongest = body.get();
        }
    }
    return strongest;
}

bool sampleOrbit(simhost::Vessel& vessel, const simhost::Body& body, double time, OrbitSample& sample) {
    ELEMENTS elements{};
    ORBITPARAM orbit{};
    // The host's interface takes a handle; the body is the world's own.
    const OBJHANDLE handle = const_cast<simhost::Body*>(&body);
    if (!vessel.vesselInterface().GetElements(handle, elements, &orbit, 0.0, FRAME_ECL)) return false;
    const double infinity = std::numeric_limits<double>::infinity();
    const bool closed = elements.e < 1.0;
    sample = {time, orbit.PeD - body.radius, closed ? orbit.ApD - body.radius : infinity, closed ? orbit.T : infinity};
    return true;
}

bool mainEnginesBurning(const simhost::Vessel& vessel) {
    const std::vector<simhost::Thruster*>* main = vessel.group(THGROUP_MAIN);
    if (!main) return false;
    return std::any_of(main->begin(), main->end(), [](const simhost::Thruster* t) {
        return t->level > 0.0 && t->max0 > 0.0 && t->resource && t->resource->mass > 0.0;
    });
}

OrbitTrack::OrbitTrack(simhost::Vessel& vessel, const simhost::Body& body, std::size_t stride, double burnGap)
    : vessel_(vessel), body_(body), stride_(std::max<std::size_t>(stride, 1)), burnGap_(burnGap) {}

OrbitTrack OrbitTrack::forRun(simhost::Vessel& vessel, const simhost::Body& body, std::uint64_t steps, double duration) {
    // A pixel of the chart is some 1/900 of the run: finer than that is not seen.
    constexpr double kKept = 4000.0;
    return OrbitTrack(vessel, body, static_cast<std::size_t>(static_cast<double>(steps) / kKept) + 1, duration / kKept);
}

void OrbitTrack::sample(double time) {
    OrbitSample s{};
    if (time != lastSampled_ && sampleOrbit(vessel_, body_, time, s)) {
        samples_.push_back(s);
        lastSampled_ = time;
    }
}

void OrbitTrack::noteBurn(double time, double dt) {
    // The level the module set before the step drove it through the step.
    const bool burning = mainEnginesBurning(vessel_);
    if (burning) {
        if (!burning_) {
            ++burnCount_;
            const double start = time - dt;
            if (burns_.empty() || start - burns_.back().end >= burnGap_) burns_.push_back({start, time});
        }
        burns_.back().end = time;
        burnTime_ += dt;
    }
    burning_ = burning;
}

void OrbitTrack::finish(double time) {
    burning_ = false;
    sample(time);
}

}  // namespace zolksim
