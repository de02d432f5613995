#include "host/physics/zonal_gravity.h"

#include <cmath>

#include "host/physics/physical_constants.h"
#include "host/world/names.h"

namespace simhost {

namespace {

// Obliquity of the ecliptic at J2000 (IAU 2006: 84381.406 arcseconds), the
// angle between the J2000 equator, in which the poles below are given, and
// the host's ecliptic.
constexpr double kObliquityJ2000 = 84381.406 * kArcsecond;  // rad

double centuriesSinceJ2000(double mjd) { return (mjd - kJ2000Mjd) / kDaysPerJulianCentury; }

// The poles' right ascension and declination by the IAU Working Group on
// Cartographic Coordinates and Rotational Elements (Archinal et al. 2011),
// degrees, T in Julian centuries and d in days from J2000.
VECTOR3 earthPole(double mjd) {
    const double T = centuriesSinceJ2000(mjd);
    return poleFromEquatorial((0.00 - 0.641 * T) * kDegree, (90.00 - 0.557 * T) * kDegree);
}

VECTOR3 marsPole(double mjd) {
    const double T = centuriesSinceJ2000(mjd);
    return poleFromEquatorial((317.68143 - 0.1061 * T) * kDegree, (52.88650 - 0.0609 * T) * kDegree);
}

// The Moon's pole circles the ecliptic's at 1.54 degrees in the 18.6 years of
// its node (E1), with the smaller terms of the same series.
VECTOR3 moonPole(double mjd) {
    const double d = mjd - kJ2000Mjd, T = d / kDaysPerJulianCentury;
    auto angle = [d](double at, double rate) { return (at + rate * d) * kDegree; };
    const double e1 = angle(125.045, -0.0529921), e2 = angle(250.089, -0.1059842), e3 = angle(260.008, 13.0120009);
    const double e4 = angle(176.625, 13.3407154), e6 = angle(311.589, 26.4057084), e7 = angle(134.963, 13.0649930);
    const double e10 = angle(15.134, -0.1589763), e13 = angle(25.053, 12.9590088);
    const double alpha = 269.9949 + 0.0031 * T - 3.8787 * std::sin(e1) - 0.1204 * std::sin(e2) +
                         0.0700 * std::sin(e3) - 0.0172 * std::sin(e4) + 0.0072 * std::sin(e6) -
                         0.0052 * std::sin(e10) + 0.0043 * std::sin(e13);
    const double delta = 66.5392 + 0.0130 * T + 1.5419 * std::cos(e1) + 0.0239 * std::cos(e2) -
                         0.0278 * std::cos(e3) + 0.0068 * std::cos(e4) - 0.0029 * std::cos(e6) +
                         0.0009 * std::cos(e7) + 0.0008 * std::cos(e10) - 0.0009 * std::cos(e13);
    return poleFromEquatorial(alpha * kDegree, delta * kDegree);
}

// Earth: EGM2008 (Pavlis et al. 2012), tide-free, from its normalised
// coefficients Cn0 = -0.484165143790815e-3, 0.957161207093473e-6 and
// 0.539965866638991e-6 as Jn = -sqrt(2n + 1) Cn0, reference radius 6378136.3 m.
const ZonalField kEarthField{6378136.3, {0.0, 0.0, 1.0826261738522226e-3, -2.5324105185677223e-6, -1.619897599916973e-6},
                             earthPole};
// The Moon: J2 of the GRAIL gravity fields (Konopliv et al. 2013), to four
// figures, reference radius 1738.0 km.
const ZonalField kMoonField{1738.0e3, {0.0, 0.0, 2.033e-4, 0.0, 0.0}, moonPole};
// Mars: J2 of the MRO-era fields (MRO110C, Konopliv et al. 2016), reference
// radius 3396.0 km.
const ZonalField kMarsField{3396.0e3, {0.0, 0.0, 1.9566e-3, 0.0, 0.0}, marsPole};

}  // namespace

VECTOR3 poleFromEquatorial(double alpha, double delta) {
    const double x = std::cos(delta) * std::cos(alpha), y = std::cos(delta) * std::sin(alpha), z = std::sin(delta);
    const double c = std::cos(kObliquityJ2000), s = std::sin(kObliquityJ2000);
    return vec3(x, c * y + s * z, -s * y + c * z);
}

VECTOR3 zonalAcceleration(const ZonalField& field, double gm, const VECTOR3& pole, const VECTOR3& r) {
    const double invR = 1.0 / std::sqrt(dotp(r, r));
    return zonalPull(field, pole, r, invR, gm * invR * invR);
}

double zonalReach(const ZonalField& field, double gm) {
    // Where J2's pull, 3/2 GM J2 R^2 / r^4 at most, falls to the threshold.
    const double strength = 1.5 * gm * std::abs(field.j[2]) * field.radius * field.radius;
    return std::sqrt(std::sqrt(strength / kZonalNegligiblePull));
}

const ZonalField* builtInZonalField(std::string_view name, double gm) {
    if (sameName(name, "Earth") && gm == kGmEarth) return &kEarthField;
    if (sameName(name, "Moon") && gm == kGmMoon) return &kMoonField;
    if (sameName(name, "Mars") && gm == kGmMars) return &kMarsField;
    return nullptr;
}

}  // namespace simhost
