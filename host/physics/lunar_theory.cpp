#include "host/physics/lunar_theory.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

// A term's multiples of the arguments D (Moon's mean elongation), M (Sun's
// mean anomaly), M' (Moon's mean anomaly) and F (Moon's argument of latitude),
// and its amplitude.
struct Term {
    signed char d, m, mp, f;
    double amplitude;  // sine in longitude or latitude: 1e-6 deg; cosine in distance: 1e-3 km
};

// Longitude, as sine terms (1e-6 deg).
constexpr Term kLongitude[] = {
    {0, 0, 1, 0, 6288774}, {2, 0, -1, 0, 1274027}, {2, 0, 0, 0, 658314}, {0, 0, 2, 0, 213618},
    {0, 1, 0, 0, -185116}, {0, 0, 0, 2, -114332},  {2, 0, -2, 0, 58793}, {2, -1, -1, 0, 57066},
    {2, 0, 1, 0, 53322},   {2, -1, 0, 0, 45758},   {0, 1, -1, 0, -40923}, {1, 0, 0, 0, -34720},
    {0, 1, 1, 0, -30383},  {2, 0, 0, -2, 15327},   {0, 0, 1, 2, -12528}, {0, 0, 1, -2, 10980},
    {4, 0, -1, 0, 10675},  {0, 0, 3, 0, 10034},    {4, 0, -2, 0, 8548},  {2, 1, -1, 0, -7888},
    {2, 1, 0, 0, -6766},   {1, 0, -1, 0, -5163},   {1, 1, 0, 0, 4987},   {2, -1, 1, 0, 4036},
    {2, 0, 2, 0, 3994},    {4, 0, 0, 0, 3861},     {2, 0, -3, 0, 3665},  {0, 1, -2, 0, -2689},
    {2, 0, -1, 2, -2602},  {2, -1, -2, 0, 2390},   {1, 0, 1, 0, -2348},  {2, -2, 0, 0, 2236},
    {0, 1, 2, 0, -2120},   {0, 2, 0, 0, -2069},    {2, -2, -1, 0, 2048}, {2, 0, 1, -2, -1773},
    {2, 0, 0, 2, -1595},   {4, -1, -1, 0, 1215},   {0, 0, 2, 2, -1110},  {3, 0, -1, 0, -892},
    {2, 1, 1, 0, -810},    {4, -1, -2, 0, 759},    {0, 2, -1, 0, -713},  {2, 2, -1, 0, -700},
    {2, 1, -2, 0, 691},    {2, -1, 0, -2, 596},    {4, 0, 1, 0, 549},    {0, 0, 4, 0, 537},
    {4, -1, 0, 0, 520},    {1, 0, -2, 0, -487},    {2, 1, 0, -2, -399},  {0, 0, 2, -2, -381},
    {1, 1, 1, 0, 351},     {3, 0, -2, 0, -340},    {4, 0, -3, 0, 330},   {2, -1, 2, 0, 327},
    {0, 2, 1, 0, -323},    {1, 1, -1, 0, 299},     {2, 0, 3, 0, 294},
};

// Distance, as cosine terms (1e-3 km).
constexpr Term kDistance[] = {
    {0, 0, 1, 0, -20905355}, {2, 0, -1, 0, -3699111}, {2, 0, 0, 0, -2955968}, {0, 0, 2, 0, -569925},
    {0, 1, 0, 0, 48888},     {0, 0, 0, 2, -3149},     {2, 0, -2, 0, 246158},  {2, -1, -1, 0, -152138},
    {2, 0, 1, 0, -170733},   {2, -1, 0, 0, -204586},  {0, 1, -1, 0, -129620}, {1, 0, 0, 0, 108743},
    {0, 1, 1, 0, 104755},    {2, 0, 0, -2, 10321},    {0, 0, 1, -2, 79661},   {4, 0, -1, 0, -34782},
    {0, 0, 3, 0, -23210},    {4, 0, -2, 0, -21636},   {2, 1, -1, 0, 24208},   {2, 1, 0, 0, 30824},
    {1, 0, -1, 0, -8379},    {1, 1, 0, 0, -16675},    {2, -1, 1, 0, -12831},  {2, 0, 2, 0, -10445},
    {4, 0, 0, 0, -11650},    {2, 0, -3, 0, 14403},    {0, 1, -2, 0, -7003},   {2, -1, -2, 0, 10056},
    {1, 0, 1, 0, 6322},      {2, -2, 0, 0, -9884},    {0, 1, 2, 0, 5751},     {2, -2, -1, 0, -4950},
    {2, 0, 1, -2, 4130},     {4, -1, -1, 0, -3958},   {3, 0, -1, 0, 3258},    {2, 1, 1, 0, 2616},
    {4, -1, -2, 0, -1897},   {0, 2, -1, 0, -2117},    {2, 2, -1, 0, 2354},    {4, 0, 1, 0, -1423},
    {0, 0, 4, 0, -1117},     {4, -1, 0, 0, -1571},    {1, 0, -2, 0, -1739},   {0, 0, 2, -2, -4421},
    {0, 2, 1, 0, 1165},      {2, 0, -1, -2, 8752},
};

// Latitude, as sine terms (1e-6 deg).
constexpr Term kLatitude[] = {
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602},  {0, 0, 1, -1, 277693}, {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271}, {2, 0, 0, 1, 32573},   {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},   {0, 0, 2, -1, 8822},   {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359},  {2, -1, -1, 1, 2463},  {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870}, {4, 0, -1, -1, 1828},  {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},   {0, 1, -1, 1, -1565},  {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344},  {1, 0, 0, -1, -1335},  {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},    {0, 0, 1, -3, 777},    {4, 0, -2, 1, 671},
    {2, 0, 0, -3, 607},    {2, 0, 2, -1, 596},    {2, -1, 1, -1, 491},   {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},    {2, 0, 2, 1, 422},     {2, 0, -3, -1, 421},   {2, 1, -1, 1, -366},
    {2, 1, 0, 1, -351},    {4, 0, 0, 1, 331},     {2, -1, 1, 1, 315},    {2, -2, 0, -1, 302},
    {0, 0, 1, 3, -283},
};

// An angle and its rate (rad, rad per Julian century).
struct Angle {
    double value, rate;
};

// c0 + c1*T + c2*T^2 + c3*T^3 + c4*T^4 degrees, with its derivative.
Angle polynomial(double T, double c0, double c1, double c2, double c3, double c4) {
    const double value = c0 + T * (c1 + T * (c2 + T * (c3 + T * c4)));
    const double rate = c1 + T * (2.0 * c2 + T * (3.0 * c3 + T * 4.0 * c4));
    return {value * kDegree, rate * kDegree};
}

// Sum of a series, sines (cosine = false) or cosines, and its rate (series
// units, per century). Terms with the Sun's anomaly M are scaled by E^|m| for
// the shrinking eccentricity of Earth's orbit.
struct Series {
    double value = 0.0, rate = 0.0;
};

template <std::size_t N>
Series sum(const Term (&terms)[N], bool cosine, const Angle& D, const Angle& M, const Angle& Mp, const Angle& F,
           double E, double Erate) {
    Series s;
    for (const Term& t : terms) {
        const double arg = t.d * D.value + t.m * M.value + t.mp * Mp.value + t.f * F.value;
        const double argRate = t.d * D.rate + t.m * M.rate + t.mp * Mp.rate + t.f * F.rate;
        const int powerOfE = std::abs(t.m);
        const double scale = powerOfE == 0 ? 1.0 : (powerOfE == 1 ? E : E * E);
        const double scaleRate = powerOfE == 0 ? 0.0 : (powerOfE == 1 ? Erate : 2.0 * E * Erate);
        const double s0 = std::sin(arg), c0 = std::cos(arg);
        const double f = cosine ? c0 : s0, fRate = cosine ? -s0 * argRate : c0 * argRate;
        s.value += t.amplitude * scale * f;
        s.rate += t.amplitude * (scale * fRate + scaleRate * f);
    }
    return s;
}

}  // namespace

StateVectors lunarState(double mjd) {
    const double T = (mjd - kJ2000Mjd) / kDaysPerJulianCentury;
    // Mean arguments (Meeus 47.1-47.5) and the additive arguments A1-A3.
    const Angle Lp = polynomial(T, 218.3164477, 481267.88123421, -0.0015786, 1.0 / 538841.0, -1.0 / 65194000.0);
    const Angle D = polynomial(T, 297.8501921, 445267.1114034, -0.0018819, 1.0 / 545868.0, -1.0 / 113065000.0);
    const Angle M = polynomial(T, 357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000.0, 0.0);
    const Angle Mp = polynomial(T, 134.9633964, 477198.8675055, 0.0087414, 1.0 / 69699.0, -1.0 / 14712000.0);
    const Angle F = polynomial(T, 93.2720950, 483202.0175233, -0.0036539, -1.0 / 3526000.0, 1.0 / 863310000.0);
    const Angle A1 = polynomial(T, 119.75, 131.849, 0, 0, 0);
    const Angle A2 = polynomial(T, 53.09, 479264.290, 0, 0, 0);
    const Angle A3 = polynomial(T, 313.45, 481266.484, 0, 0, 0);
    const double E = 1.0 - T * (0.002516 + 0.0000074 * T), Erate = -(0.002516 + 2.0 * 0.0000074 * T);

    Series l = sum(kLongitude, false, D, M, Mp, F, E, Erate);
    Series b = sum(kLatitude, false, D, M, Mp, F, E, Erate);
    const Series r = sum(kDistance, true, D, M, Mp, F, E, Erate);
    // Venus's and Jupiter's action (A1, A2) and Earth's flattening (L' terms).
    auto add = [](Series& s, double amplitude, const Angle& a, double sign = 1.0) {
        s.value += amplitude * std::sin(sign * a.value);
        s.rate += amplitude * std::cos(sign * a.value) * sign * a.rate;
    };
    const Angle LpMinusF{Lp.value - F.value, Lp.rate - F.rate};
    const Angle A1MinusF{A1.value - F.value, A1.rate - F.rate}, A1PlusF{A1.value + F.value, A1.rate + F.rate};
    const Angle LpMinusMp{Lp.value - Mp.value, Lp.rate - Mp.rate}, LpPlusMp{Lp.value + Mp.value, Lp.rate + Mp.rate};
    add(l, 3958, A1);
    add(l, 1962, LpMinusF);
    add(l, 318, A2);
    add(b, -2235, Lp);
    add(b, 382, A3);
    add(b, 175, A1MinusF);
    add(b, 175, A1PlusF);
    add(b, 127, LpMinusMp);
    add(b, -115, LpPlusMp);

    // Spherical coordinates in the ecliptic of date (rad, m) and their rates per second.
    constexpr double kPerSecond = 1.0 / (kDaysPerJulianCentury * kSecondsPerDay);
    const double lambda = Lp.value + l.value * 1e-6 * kDegree;
    const double beta = b.value * 1e-6 * kDegree;
    const double dist = 385000.56e3 + r.value;  // 1e-3 km = 1 m
    const double lambdaRate = (Lp.rate + l.rate * 1e-6 * kDegree) * kPerSecond;
    const double betaRate = b.rate * 1e-6 * kDegree * kPerSecond;
    const double distRate = r.rate * kPerSecond;
    const double cl = std::cos(lambda), sl = std::sin(lambda), cb = std::cos(beta), sb = std::sin(beta);
    const VECTOR3 posDate = vec3(dist * cb * cl, dist * cb * sl, dist * sb);
    const VECTOR3 velDate = vec3(distRate * cb * cl - dist * (sb * cl * betaRate + cb * sl * lambdaRate),
                                 distRate * cb * sl - dist * (sb * sl * betaRate - cb * cl * lambdaRate),
                                 distRate * sb + dist * cb * betaRate);

    // Ecliptic of date to J2000 (Meeus 21.5 from J2000 with t = T): J2000 =
    // Rz(Pi) Rx(eta) Rz(-(Pi + p)) date, where the ecliptic of date is tilted by
    // eta about the axis at longitude Pi and the equinox has moved on by p.
    const double eta = (47.0029 - T * (0.03302 - T * 0.000060)) * T * kArcsecond;
    const double Pi = 174.876384 * kDegree - (869.8089 - 0.03536 * T) * T * kArcsecond;
    const double p = (5029.0966 + T * (1.11113 - T * 0.000006)) * T * kArcsecond;
    auto toJ2000 = [&](const VECTOR3& v) {
        const double a = -(Pi + p), ca = std::cos(a), sa = std::sin(a);
        const VECTOR3 v1 = vec3(ca * v.x - sa * v.y, sa * v.x + ca * v.y, v.z);
        const double ce = std::cos(eta), se = std::sin(eta);
        const VECTOR3 v2 = vec3(v1.x, ce * v1.y - se * v1.z, se * v1.y + ce * v1.z);
        const double cp = std::cos(Pi), sp = std::sin(Pi);
        return vec3(cp * v2.x - sp * v2.y, sp * v2.x + cp * v2.y, v2.z);
    };
    const VECTOR3 pos = toJ2000(posDate);
    // The equinox's motion (dp/dt about the pole) turns the J2000 velocity back
    // by p' x r; the ecliptic's own tilt rate is below 1e-4 m/s here.
    const double pRate = (5029.0966 + T * 2.0 * 1.11113) * kArcsecond * kPerSecond;
    const VECTOR3 vel = toJ2000(velDate) + vec3(pos.y * pRate, -pos.x * pRate, 0.0);
    return StateVectors{pos, vel};
}

}  // namespace simhost
