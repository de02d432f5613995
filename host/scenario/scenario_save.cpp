// The world as scenario text, written so that loading it gives back the same
// state (to the last bit, but for some positions and velocities relative to a
// body) and saving that again gives the same text.
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "host/physics/gravity.h"
#include "host/scenario/scenario_description.h"
#include "host/scenario/scenario_io.h"
#include "host/scenario/scenario_text.h"

namespace simhost {

namespace {

std::string numbersText(std::initializer_list<double> values) {
    std::string out;
    for (double v : values) {
        if (!out.empty()) out += ' ';
        appendNumber(out, v);
    }
    return out;
}

std::string vectorText(const VECTOR3& v) { return numbersText({v.x, v.y, v.z}); }

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// The offset to write for target relative to base: one with base + r == target
// bit for bit when there is one within a few ulps of target - base, else
// target - base itself.
double offsetFor(double base, double target) {
    constexpr int kSteps = 4;
    const double direct = target - base;
    double r = direct;
    if (sameBits(base + r, target)) return r;
    const double toward = base + r < target ? HUGE_VAL : -HUGE_VAL;
    for (int i = 0; i < kSteps; ++i) {
        r = std::nextafter(r, toward);
        if (sameBits(base + r, target)) return r;
    }
    return direct;
}

// A loaded vessel sits at base + r, with the body where it was at the save (the
// date is written exactly, and the ephemeris gives the same states for it).
// The offset is good when saving that vessel again writes the same r; then a
// save, a load and a save give the same text, though the state may have lost
// its last bit when no exact offset exists. False when no good offset is found.
bool stableOffset(double base, double target, double& r) {
    constexpr int kTries = 4;
    r = offsetFor(base, target);
    for (int i = 0; i < kTries; ++i) {
        const double again = offsetFor(base, base + r);
        if (sameBits(again, r)) return true;
        r = again;
    }
    return false;
}

bool stableOffset(const VECTOR3& base, const VECTOR3& target, VECTOR3& r) {
    return stableOffset(base.x, target.x, r.x) && stableOffset(base.y, target.y, r.y) &&
           stableOffset(base.z, target.z, r.z);
}

void writeBodies(ScenarioWriter& out, const World& w) {
    out.line("BEGIN_BODIES");
    const auto& bodies = w.bodies();
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const BodyOrbit& orbit = w.orbits()[i];
        // The orbit's GM, not Body::gm: it is the one the ephemeris and gravity use.
        std::string value = joined(bodies[i]->name, " ", numbersText({orbit.gm, bodies[i]->radius}), " ");
        if (orbit.parent < 0) {
            value += '-';
        } else {
            const ELEMENTS& e = orbit.elements;
            value += joined(bodies[orbit.parent]->name, " ",
                            numbersText({e.a, e.e, e.i, e.theta, e.omegab, e.L, orbit.epochMjd}));
        }
        out.item("BODY", value);
    }
    out.line("END_BODIES");
}

void writeDisplays(ScenarioWriter& out, World& w) {
    for (const auto& display : w.cockpit().displays()) {
        if (!display->mode() || !display->object()) continue;
        out.line(joined("BEGIN_MFD ", display->position()));
        out.item("TYPE", "User");
        out.item("MODE", display->mode()->name);
        display->object()->WriteStatus(out.handle());
        out.line("END_MFD");
        out.line("");
    }
}

void writeVessel(ScenarioWriter& out, const Vessel& v, const World& w, const BodySnapshot& bodies) {
    out.line(v.name);
    out.item("EMPTY_MASS", numberText(v.emptyMass));
    // Relative to the body that pulls hardest when the offsets are stable;
    // otherwise global (no REF), which is always exact.
    VECTOR3 pos = v.pos, vel = v.vel;
    const int dominant = dominantBody(v.pos, bodies);
    if (dominant >= 0) {
        const Body& ref = *w.bodies()[dominant];
        VECTOR3 rpos{}, rvel{};
        if (stableOffset(ref.state.pos, v.pos, rpos) && stableOffset(ref.state.vel, v.vel, rvel)) {
            out.item("REF", ref.name);
            pos = rpos;
            vel = rvel;
        }
    }
    out.item("RPOS", vectorText(pos));
    out.item("RVEL", vectorText(vel));
    // The matrix itself: angles cannot give back every attitude bit for bit.
    const auto& r = v.rot.m;
    out.item("ROT", numbersText({r[0][0], r[0][1], r[0][2], r[1][0], r[1][1], r[1][2], r[2][0], r[2][1], r[2][2]}));
    out.item("VROT", vectorText(v.angVel));
    for (const auto& tank : v.propellants) out.item("TANK", numbersText({tank->maxMass, tank->mass}));
    for (const auto& t : v.thrusters) {
        out.item("THRUSTER", joined(numbersText({t->pos.x, t->pos.y, t->pos.z, t->dir.x, t->dir.y, t->dir.z, t->max0, t->isp}),
                                    " ", numberText(v.propellantIndex(t->resource)), " ", numberText(t->level)));
    }
    for (int g = 0; g < kThrusterGroupCount; ++g) {
        const std::vector<Thruster*>& members = *v.group(static_cast<THGROUP_TYPE>(g));
        if (members.empty()) continue;
        std::string value(kScenarioGroupNames[g]);
        for (const Thruster* t : members) value += joined(" ", numberText(v.thrusterIndex(t)));
        out.item("GROUP", value);
    }
    std::string modes;
    for (int mode = 1; mode <= kNavmodeCount; ++mode)
        if (v.navmode(mode)) modes += joined(modes.empty() ? "" : " ", numberText(mode));
    if (!modes.empty()) out.item("NAVMODE", modes);
    out.line("END");
}

void writeShips(ScenarioWriter& out, const World& w) {
    std::vector<StateVectors> states;
    for (const auto& body : w.bodies()) states.push_back(body->state);
    const BodySnapshot bodies{w.orbits().data(), states.data(), states.size()};
    out.line("BEGIN_SHIPS");
    for (const auto& vessel : w.vessels()) writeVessel(out, *vessel, w, bodies);
    out.line("END_SHIPS");
}

}  // namespace

std::string saveScenarioText(std::string_view description) {
    World& w = world();
    ScenarioWriter out;
    if (!description.empty()) {
        out.line("BEGIN_DESC");
        std::string_view rest = description;
        for (;;) {
            const std::size_t end = rest.find('\n');
            out.line(trimmed(rest.substr(0, end)));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
        out.line("END_DESC");
        out.line("");
    }
    out.line("BEGIN_ENVIRONMENT");
    out.item("DATE", joined("MJD ", numberText(w.mjd())));
    if (!w.nonsphericalGravity()) out.item("NONSPHERICAL_GRAVITY", "OFF");
    out.line("END_ENVIRONMENT");
    out.line("");
    writeBodies(out, w);
    out.line("");
    // Always written: an empty block keeps "no focus" apart from "the first vessel".
    out.line("BEGIN_FOCUS");
    if (w.focus()) out.item("SHIP", w.focus()->name);
    out.line("END_FOCUS");
    out.line("");
    writeDisplays(out, w);
    writeShips(out, w);
    return out.text();
}

}  // namespace simhost
