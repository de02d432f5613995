#include "host/physics/kepler.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>

#include "host/physics/arc_tangent.h"

namespace simhost {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEps = std::numeric_limits<double>::epsilon();

// Below these the eccentricity counts as zero and the plane as the ecliptic.
constexpr double kCircularE = 1e-10;
constexpr double kEquatorialI = 1e-10;
// |r x v| below this fraction of |r|*|v| is radial motion: no orbital plane.
constexpr double kRadialH = 1e-12;
// Newton iterations normally stop after a handful of steps; this only bounds them.
constexpr int kMaxIterations = 64;

// Angle reduced to [0, 2*pi).
double wrapTwoPi(double x) {
    // Angles from atan2 and their sums lie within one turn of the range; those
    // take the short way, with the same result that fmod gives.
    if (x >= 0.0 && x < kTwoPi) return x;
    if (x >= kTwoPi && x < 2.0 * kTwoPi) return x - kTwoPi;  // exact (Sterbenz)
    if (x < 0.0 && x >= -kTwoPi) {
        const double r = x + kTwoPi;
        return r >= kTwoPi ? 0.0 : r;
    }
    double r = std::fmod(x, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;  // a tiny negative r rounds up to 2*pi
    return r;
}

// x reduced to [-pi, pi] by a whole turn, for |x| <= 2*pi: the same result as
// std::remainder(x, 2*pi), whose subtraction is exact there (Sterbenz), without
// the library call.
double halfTurnRange(double x) {
    if (x > kPi) return x - kTwoPi;
    if (x < -kPi) return x + kTwoPi;
    return x;
}

// x^3/3! + s*x^5/5! + x^7/7! + s*x^9/9! + ... for |x| < 1: with s = -1 it is
// x - sin(x), with s = +1 sinh(x) - x, both free of the cancellation the direct
// differences suffer near zero. Nine terms reach double precision at |x| = 1.
double cubicTail(double x, double s) {
    // The polynomial in y = s*x^2 over 1/3!, 1/5!, ..., 1/19!, evaluated in
    // pairs (Estrin's scheme) so that the multiplications need not wait on
    // each other; the largest term is added last.
    constexpr double c[] = {1.0 / 6.0,
                            1.0 / 120.0,
                            1.0 / 5040.0,
                            1.0 / 362880.0,
                            1.0 / 39916800.0,
                            1.0 / 6227020800.0,
                            1.0 / 1307674368000.0,
                            1.0 / 355687428096000.0,
                            1.0 / 121645100408832000.0};
    const double x2 = x * x, y = s * x2, y2 = y * y, y4 = y2 * y2;
    const double high = ((c[4] + c[5] * y) + y2 * (c[6] + c[7] * y)) + y4 * c[8];
    const double sum = c[0] + (c[1] * y + (y2 * (c[2] + c[3] * y) + y4 * high));
    return x * x2 * sum;
}

double sinhMinusX(double x) { return std::fabs(x) < 1.0 ? cubicTail(x, 1.0) : std::sinh(x) - x; }

// sin(x/2) and cos(x/2), both times one positive factor, of the angle x in
// [-pi, pi] whose cosine and sine are c and s times a positive factor; negative
// says x < 0, which settles the sign where s is rounding noise (x near +-pi).
// From whichever of (1 + cos x, sin x) and (sin x, 1 - cos x) does not cancel:
// no sine or cosine needed.
void halfAngle(double c, double s, bool negative, double& sineHalf, double& cosineHalf) {
    const double length = std::sqrt(c * c + s * s);
    if (c >= 0.0) {
        sineHalf = s, cosineHalf = length + c;
    } else {
        const double sign = negative ? -1.0 : 1.0;
        sineHalf = sign * (length - c), cosineHalf = sign * s;
    }
}

bool finite(const VECTOR3& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// Unit vectors towards periapsis (P) and 90 degrees further along the motion (Q).
void perifocalAxes(const ELEMENTS& el, VECTOR3& P, VECTOR3& Q) {
    const double cO = std::cos(el.theta), sO = std::sin(el.theta);
    const double ci = std::cos(el.i), si = std::sin(el.i);
    const double w = el.omegab - el.theta;
    const double cw = std::cos(w), sw = std::sin(w);
    P = vec3(cO * cw - sO * sw * ci, sO * cw + cO * sw * ci, sw * si);
    Q = vec3(-cO * sw - sO * cw * ci, -sO * sw + cO * cw * ci, cw * si);
}

}  // namespace

double eccentricAnomaly(double meanAnomaly, double e) {
    if (!(e >= 0.0 && e < 1.0) || !std::isfinite(meanAnomaly)) return kNaN;
    // Solve on [0, pi] and restore the sign and the whole turns afterwards:
    // E - e*sin(E) is odd and advances by 2*pi per turn.
    const double reduced = std::remainder(meanAnomaly, kTwoPi);  // [-pi, pi], exact
    const double turns = meanAnomaly - reduced;
    const double m = std::fabs(reduced);
    double E = m;
    if (e > 0.0 && m > 0.0) {
        // f(E) = E - e*sin(E) - m rises and is convex on [0, pi], so Newton's
        // method started at or above the root descends on it monotonically.
        // Each candidate below is such an upper bound:
        //   m + e                  since sin(E) <= 1,
        //   m / (1 - e)            since E - e*sin(E) >= (1 - e)*E,
        //   cbrt(6.4*m/e) if <= 1  since E - sin(E) >= 0.95*E^3/6 for E <= 1;
        // the last one matters for e near 1 and small m, where the others are poor.
        E = std::min({m + e, kPi, m / (1.0 - e)});
        const double cubic = std::cbrt(6.4 * m / e);
        if (cubic <= 1.0) E = std::min(E, cubic);
        for (int k = 0; k < kMaxIterations; ++k) {
            const double step = (E - e * std::sin(E) - m) / (1.0 - e * std::cos(E));
            E -= step;
            if (!(step > 4.0 * kEps * E)) break;  // at the rounding floor
        }
    }
    return turns + std::copysign(E, reduced);
}

double hyperbolicAnomaly(double meanAnomaly, double e) {
    if (!(e > 1.0) || !std::isfinite(meanAnomaly)) return kNaN;
    const double m = std::fabs(meanAnomaly);
    double H = 0.0;
    if (m > 0.0) {
        // g(H) = e*sinh(H) - H - m rises and is convex for H >= 0; as in the
        // elliptic case Newton's method descends from any start with g >= 0.
        // cbrt(6*m) always qualifies (e*sinh(H) - H >= sinh(H) - H >= H^3/6); the
        // others are tighter where they qualify: m/(e - 1) for small m,
        // asinh(2*m/e) for large m.
        auto g = [&](double x) { return e * std::sinh(x) - x - m; };
        H = std::cbrt(6.0 * m);
        for (const double candidate : {m / (e - 1.0), std::asinh(2.0 * m / e)}) {
            const double gc = g(candidate);
            if (candidate < H && gc >= 0.0 && std::isfinite(gc)) H = candidate;
        }
        for (int k = 0; k < kMaxIterations; ++k) {
            const double step = g(H) / (e * std::cosh(H) - 1.0);
            H -= step;
            if (!(step > 4.0 * kEps * H)) break;
        }
    }
    return std::copysign(H, meanAnomaly);
}

StateVectors stateFromElements(const ELEMENTS& el, double mu, double dt) {
    const double e = el.e, a = el.a;
    double x, y, vx, vy;  // perifocal frame: +x towards periapsis
    if (mu > 0.0 && e >= 0.0 && e < 1.0 && a > 0.0) {
        const double n = std::sqrt(mu / (a * a * a));
        const double E = eccentricAnomaly(el.L - el.omegab + n * dt, e);
        const double cE = std::cos(E), sE = std::sin(E);
        const double b = std::sqrt((1.0 - e) * (1.0 + e));
        const double Edot = n / (1.0 - e * cE);
        x = a * (cE - e);
        y = a * b * sE;
        vx = -a * sE * Edot;
        vy = a * b * cE * Edot;
    } else if (mu > 0.0 && e > 1.0 && a < 0.0 && std::isfinite(a)) {
        const double A = -a;
        const double n = std::sqrt(mu / (A * A * A));
        const double H = hyperbolicAnomaly(el.L - el.omegab + n * dt, e);
        const double cH = std::cosh(H), sH = std::sinh(H);
        const double b = std::sqrt((e - 1.0) * (e + 1.0));
        const double Hdot = n / (e * cH - 1.0);
        x = A * (e - cH);
        y = A * b * sH;
        vx = -A * sH * Hdot;
        vy = A * b * cH * Hdot;
    } else {
        const VECTOR3 bad = vec3(kNaN, kNaN, kNaN);
        return StateVectors{bad, bad};
    }
    VECTOR3 P, Q;
    perifocalAxes(el, P, Q);
    return StateVectors{P * x + Q * y, P * vx + Q * vy};
}

// Every helper inlined: the module asks for its orbit every step, and the five
// arc tangents and the wraps are small beside a call.
#if defined(__GNUC__)
__attribute__((flatten))
#endif
bool elementsFromState(const VECTOR3& r, const VECTOR3& v, double mu, ELEMENTS& el, ORBITPARAM* prm) {
    if (!(mu > 0.0) || !std::isfinite(mu) || !finite(r) || !finite(v)) return false;
    const double rl = length(r), vl = length(v);
    if (!(rl > 0.0 && vl > 0.0) || !std::isfinite(rl) || !std::isfinite(vl)) return false;
    const VECTOR3 h = crossp(r, v);  // specific angular momentum (m^2/s)
    const double hl = length(h);
    if (!(hl > kRadialH * rl * vl)) return false;

    const double p = hl * hl / mu;  // semi-latus rectum (m)
    // Eccentricity vector, towards periapsis: (v x h)/mu - r/|r|.
    const VECTOR3 ev = crossp(v, h) * (1.0 / mu) - r * (1.0 / rl);
    double e = length(ev);

    // Plane: inclination from h, node direction N and the in-plane axis Q
    // 90 degrees beyond the node along the motion. |(h.x, h.y)| is squared
    // without scaling, as |h| is: no orbit comes near overflow or underflow.
    const double hxy = std::sqrt(h.x * h.x + h.y * h.y);
    // Argument of periapsis omega and true anomaly nu. nu is taken as the
    // argument of latitude u minus omega, so omega + nu reproduces the body's
    // direction exactly even where the periapsis direction is poorly defined.
    // The four arc tangents (inclination, node, u, omega) go together, with N
    // taken as for an inclined orbit, (cos(node), sin(node)) straight from h;
    // an equatorial orbit (rare) works u and omega out again about +x.
    const VECTOR3 hUnit = h * (1.0 / hl);
    VECTOR3 N = vec3(-h.y / hxy, h.x / hxy, 0.0);
    VECTOR3 Q = crossp(hUnit, N);
    const bool circular = e < kCircularE;
    if (circular) e = 0.0;
    double rN = dotp(r, N), rQ = dotp(r, Q);
    double eN = circular ? 1.0 : dotp(ev, N), eQ = circular ? 0.0 : dotp(ev, Q);  // periapsis direction in (N, Q), unnormalised
    double angles[4];
    arcTangent2x4({hxy, h.x, rQ, eQ}, {h.z, -h.y, rN, eN}, angles);
    const double inc = angles[0];
    const bool equatorial = inc < kEquatorialI || inc > kPi - kEquatorialI;
    double node = 0.0, u = angles[2], omega = circular ? 0.0 : angles[3];
    if (equatorial) {
        N = vec3(1.0, 0.0, 0.0);
        Q = crossp(hUnit, N);
        rN = dotp(r, N), rQ = dotp(r, Q);
        u = arcTangent2(rQ, rN);
        if (!circular) {
            eN = dotp(ev, N), eQ = dotp(ev, Q);
            omega = arcTangent2(eQ, eN);
        }
    } else {
        node = wrapTwoPi(angles[1]);
    }
    const double nu = halfTurnRange(u - omega);  // [-pi, pi]
    const double varpi = wrapTwoPi(node + omega);

    // Semi-major axis and eccentric anomaly come by one of two routes.
    // Shape route: a = p/(1 - e^2) and the eccentric anomaly from nu. It keeps
    // p and nu exactly and suits most of any orbit, but on a near-parabolic one
    // 1 - e carries e's absolute rounding as a large relative error, which far
    // from periapsis (relative error ~ eps*r/p) shifts the anomaly.
    // Energy route: a = -mu/(2*energy) and the anomaly from r and r.v. Far out
    // v^2/2 and mu/r no longer cancel (relative error ~ eps*|a|/r).
    // The energy route is taken past the point where the two errors match,
    // r^2 = |a|*p, on orbits eccentric enough for e*cos(E) = 1 - r/a to fix E
    // (e > 0.5), and when the sign of a agrees with e on closed versus open.
    const double aShape = p / ((1.0 - e) * (1.0 + e));
    const double aEnergy = -0.5 * mu / (0.5 * dotp(v, v) - mu / rl);
    const bool farOut = e > 0.5 && rl * rl > std::fabs(aEnergy) * p && (aEnergy > 0.0) == (e < 1.0);
    const double a = farOut ? aEnergy : aShape;
    const double rv = dotp(r, v);

    // Written in place from here on (r and v are no longer read): every branch
    // below fills each field of both records.
    ORBITPARAM scratch;
    ELEMENTS& out = el;
    ORBITPARAM& par = prm ? *prm : scratch;
    out = ELEMENTS{0.0, e, inc, node, varpi, 0.0};
    par.PeD = p / (1.0 + e);  // = a*(1 - e), without cancellation near e = 1
    par.ApD = kInf;
    par.T = kInf;
    par.ApT = kNaN;

    if (e < 1.0) {
        const double n = std::sqrt(mu / (a * a * a));
        // Energy route: e*cos(E) = 1 - r/a, e*sin(E) = r.v/sqrt(mu*a). Shape
        // route: the half-angle form tan(E/2) = sqrt((1 - e)/(1 + e))*tan(nu/2),
        // which unlike cos(E) = (e + cos(nu))/(1 + e*cos(nu)) does not cancel
        // towards apoapsis when e is close to 1.
        // sin(E) comes from the same pair as E itself: Y / |(X, Y)| for E =
        // atan2(Y, X), or 2 s c / (s^2 + c^2) for E = 2 atan2(s, c).
        double E, sinE;
        if (farOut) {
            const double X = 1.0 - rl / a, Y = rv / std::sqrt(mu * a);
            E = arcTangent2(Y, X);
            sinE = Y / std::sqrt(X * X + Y * Y);
        } else {
            double sinHalfNu, cosHalfNu;
            halfAngle(rN * eN + rQ * eQ, rQ * eN - rN * eQ, nu < 0.0, sinHalfNu, cosHalfNu);
            const double sHalf = std::sqrt(1.0 - e) * sinHalfNu, cHalf = std::sqrt(1.0 + e) * cosHalfNu;
            E = 2.0 * arcTangent2(sHalf, cHalf);
            sinE = 2.0 * sHalf * cHalf / (sHalf * sHalf + cHalf * cHalf);
        }
        if (E <= -kPi) E = kPi;
        // M = E - e*sin(E) written as (1 - e)*sin(E) + (E - sin(E)): exact
        // near periapsis when e approaches 1.
        const double eMinusSinE = std::fabs(E) < 1.0 ? cubicTail(E, -1.0) : E - sinE;
        double M = (1.0 - e) * sinE + eMinusSinE;  // signed, (-pi, pi]
        if (M > kPi) M -= kTwoPi;
        if (M <= -kPi) M += kTwoPi;
        out.a = a;
        out.L = wrapTwoPi(varpi + M);
        par.SMi = std::sqrt(a * p);  // = a*sqrt(1 - e^2)
        par.ApD = a * (1.0 + e);
        par.MnA = wrapTwoPi(M);
        par.TrA = wrapTwoPi(nu);
        par.EcA = wrapTwoPi(E);
        par.Lec = a * e;
        par.T = kTwoPi / n;
        // Next periapsis at M = 0 (mod 2*pi), next apoapsis at M = pi; with M
        // in (-pi, pi] both times fall in [0, T).
        par.PeT = M == 0.0 ? 0.0 : (M < 0.0 ? -M : kTwoPi - M) / n;
        par.ApT = (kPi - M) / n;
        par.MnL = out.L;
    } else if (e == 1.0) {
        // Barker's equation. tan(nu/2) = sin(nu)/(1 + cos(nu)) = sin(nu)*r/p.
        const double D = std::sin(nu) * rl / p;
        const double M = 0.5 * (D + D * D * D / 3.0);
        out.a = -kInf;
        out.L = varpi + M;
        par.SMi = kInf;
        par.MnA = M;
        par.TrA = nu;
        par.EcA = D;
        par.Lec = kInf;
        par.PeT = -M * std::sqrt(p * p * p / mu);
        par.MnL = out.L;
    } else {
        const double e2m1 = (e - 1.0) * (e + 1.0);
        const double A = -a;
        const double n = std::sqrt(mu / (A * A * A));
        // Shape route: sinh(H) = sqrt(e^2 - 1)*sin(nu)/(1 + e*cos(nu)) with
        // 1 + e*cos(nu) = p/r. Energy route: e*sinh(H) = r.v/sqrt(mu*|a|).
        const double sH = farOut ? rv / (e * std::sqrt(mu * A)) : std::sqrt(e2m1) * std::sin(nu) * rl / p;
        const double H = std::asinh(sH);
        // M = e*sinh(H) - H as (e - 1)*sinh(H) + (sinh(H) - H): both terms keep
        // full precision as e approaches 1, where they are of similar size.
        const double M = (e - 1.0) * sH + sinhMinusX(H);
        out.a = -A;
        out.L = varpi + M;
        par.SMi = std::sqrt(A * p);  // = |a|*sqrt(e^2 - 1)
        par.MnA = M;
        par.TrA = nu;
        par.EcA = H;
        par.Lec = A * e;
        par.PeT = -M / n;
        par.MnL = out.L;
    }
    par.TrL = wrapTwoPi(varpi + nu);
    return true;
}

}  // namespace simhost
