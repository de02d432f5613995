// The default mission's answer to "mean apoapsis >= 5000 km" against a
// flight of its own: the tug as a point mass about Earth's centre (two-body
// gravity, Earth's GM), its 3 N along the velocity through the third of each
// orbit centred on periapsis by time, propellant flowing at thrust / ISP, and
// the orbit turned at J2's secular rates of node and periapsis. Such an orbit
// has no short-period swing: its apoapsis is a mean apoapsis throughout.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>
#include <vector>

#include "tests/sim/runner_fixture.h"

namespace {

using namespace runner_fixture;

struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double norm(Vec a) { return std::sqrt(dot(a, a)); }

// Rodrigues: v turned by angle (rad) about the unit axis k.
Vec turned(Vec v, Vec k, double angle) {
    return v * std::cos(angle) + cross(k, v) * std::sin(angle) + k * (dot(k, v) * (1 - std::cos(angle)));
}

constexpr double kMu = 3.986004418e14;                // m^3/s^2
constexpr double kMeanRadius = 6371e3;                // m, altitudes above it
constexpr double kJ2 = 1.08263e-3, kJ2Radius = 6378.137e3;  // WGS-84
constexpr double kObliquity = 23.4392911 * std::numbers::pi / 180;  // J2000
constexpr double kThrust = 3.0, kIsp = 30000.0;       // N, N s/kg
constexpr double kTwoPi = 2 * std::numbers::pi;

// The reference flight second by second until its apoapsis reaches apoapsisKm:
// the apoapsis altitude (km) and the propellant used (kg) at the start of each.
struct ReferenceFlight {
    std::vector<double> apoapsisKm, propellantUsed;
    double crossing = NAN;  // s, interpolated within its second
};

ReferenceFlight referenceFlight(double apoapsisKm) {
    ReferenceFlight flight;
    Vec r{6771000, 0, 0}, v{0, 8068.2, 0};  // ion-tug.scn: ecliptic axes
    const Vec pole{0, -std::sin(kObliquity), std::cos(kObliquity)};  // Earth's, in ecliptic axes
    double mass = 1400, t = 0;
    const double dt = 1;
    double lastApoapsis = 0;
    while (t < 20 * 86400) {
        // Elements at the step's start decide the burn, as the module does.
        const Vec e = (r * (dot(v, v) - kMu / norm(r)) + v * -dot(r, v)) * (1 / kMu);
        const double a = 1 / (2 / norm(r) - dot(v, v) / kMu), ecc = norm(e);
        const double apoapsis = (a * (1 + ecc) - kMeanRadius) / 1000;
        flight.apoapsisKm.push_back(apoapsis);
        flight.propellantUsed.push_back(1400 - mass);
        if (apoapsis >= apoapsisKm) {
            flight.crossing = t - dt + (apoapsisKm - lastApoapsis) / (apoapsis - lastApoapsis) * dt;
            return flight;
        }
        lastApoapsis = apoapsis;
        double nu = std::acos(std::clamp(dot(e, r) / (ecc * norm(r)), -1.0, 1.0));
        if (dot(r, v) < 0) nu = kTwoPi - nu;
        const double E = 2 * std::atan(std::sqrt((1 - ecc) / (1 + ecc)) * std::tan(nu / 2));
        const double M = std::fmod(E - ecc * std::sin(E) + kTwoPi, kTwoPi);
        const double toPeriapsis = 1 - M / kTwoPi;  // of the period
        const bool burning = toPeriapsis < 0.1666667 || toPeriapsis > 0.8333333;
        const Vec along = v * (1 / norm(v));
        const double thrust = burning ? kThrust : 0;
        auto accel = [&](Vec p, double m) { return p * (-kMu / std::pow(norm(p), 3)) + along * (thrust / m); };
        const double mdot = -thrust / kIsp;
        // Classic RK4 on position, velocity and mass.
        const Vec a1 = accel(r, mass), v1 = v;
        const Vec a2 = accel(r + v1 * (dt / 2), mass + mdot * dt / 2), v2 = v + a1 * (dt / 2);
        const Vec a3 = accel(r + v2 * (dt / 2), mass + mdot * dt / 2), v3 = v + a2 * (dt / 2);
        const Vec a4 = accel(r + v3 * dt, mass + mdot * dt), v4 = v + a3 * dt;
        r = r + (v1 + v2 * 2 + v3 * 2 + v4) * (dt / 6);
        v = v + (a1 + a2 * 2 + a3 * 2 + a4) * (dt / 6);
        mass += mdot * dt;
        t += dt;
        // J2's secular turning: the node about the pole, the periapsis in the plane.
        const Vec k = cross(r, v) * (1 / norm(cross(r, v)));
        const double cosI = dot(k, pole), p = a * (1 - ecc * ecc), n = std::sqrt(kMu / (a * a * a));
        const double rate = n * kJ2 * (kJ2Radius / p) * (kJ2Radius / p);
        r = turned(r, pole, -1.5 * rate * cosI * dt);
        v = turned(v, pole, -1.5 * rate * cosI * dt);
        const Vec k2 = cross(r, v) * (1 / norm(cross(r, v)));
        r = turned(r, k2, 0.75 * rate * (5 * cosI * cosI - 1) * dt);
        v = turned(v, k2, 0.75 * rate * (5 * cosI * cosI - 1) * dt);
    }
    return flight;
}

using MeanGoal = Runner;

TEST_F(MeanGoal, DefaultMissionsMeanApoapsisAnswerAgreesWithATwoBodyFlightTurnedAtJ2sRates) {
    const ReferenceFlight reference = referenceFlight(5000);
    ASSERT_FALSE(std::isnan(reference.crossing));
    const Outcome r = run({"--until", "mean apoapsis >= 5000 km", "--days", "12", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json summary = nlohmann::json::parse(read(out() / "summary.json"));
    const double crossing = summary["goal"]["crossing_s"], metAt = summary["goal"]["met_s"];

    // The two flights differ in three ways, which bound how far apart their
    // answers may lie:
    // - The scenario's state is osculating. Under J2 the mean apoapsis of the
    //   orbit through it differs from the two-body apoapsis of the same state
    //   by the short-period terms there: J2 R^2 / a (a / r_p)^3 = 8 km in the
    //   semi-major axis at 400 km x 2000 km, about as much again through the
    //   eccentricity, so 15 km at most. That offset stays, and near 5000 km
    //   the apoapsis gains 40 km per 148-minute orbit (16 km an hour): up to
    //   56 minutes.
    // - The reference's apoapsis rises in steps, during each burn around
    //   periapsis, while the means are interpolated linearly between orbit
    //   middles (periapses): a crossing placed up to a third of an orbit off,
    //   49 minutes.
    // - J2's secular rates turn the node and periapsis and shift the burns'
    //   timing, but an in-plane burn centred on periapsis raises the apoapsis
    //   alike wherever the periapsis lies: nothing to add.
    // So 105 minutes, 6300 s (measured: 2386 s). The osculating answer
    // (9d 11:48:58) flickers within this band, which is why a goal on the
    // means is checked by the goal's own tests, not this one.
    constexpr double kTolerance = 6300;  // s
    EXPECT_NEAR(crossing, reference.crossing, kTolerance);
    EXPECT_GE(metAt, crossing);  // known at the end of the orbit whose mean met it
    EXPECT_LT(metAt - crossing, 2 * 148 * 60);

    // Propellant used by the crossing: from the rows of history.csv, linear
    // within the orbit holding it. The flow averages a third of thrust / ISP
    // (3.3e-5 kg/s) over whole orbits, so 6300 s give 0.21 kg; within an orbit
    // the linear reading may be off by up to half a window's burn, 0.15 kg.
    std::istringstream history(read(out() / "history.csv"));
    std::string line;
    std::getline(history, line);
    double used = NAN, before = 400;
    while (std::getline(history, line) && std::isnan(used)) {
        double cells[17];
        std::istringstream row(line);
        for (double& cell : cells) {
            std::string text;
            std::getline(row, text, ',');
            cell = text.empty() ? NAN : std::stod(text);
        }
        const double start = cells[2], end = cells[3], left = cells[13];
        if (crossing <= end) used = 400 - (before + (left - before) * (crossing - start) / (end - start));
        before = left;
    }
    const std::size_t second = static_cast<std::size_t>(reference.crossing);
    EXPECT_NEAR(used, reference.propellantUsed[second], 0.36);
}

}  // namespace
