// Physical and time constants shared by the stand-in host, the runner and the
// tests. The module keeps its own few, so that it does not depend on the host.
#pragma once

#include <numbers>

namespace simhost {

// Time.
constexpr double kSecondsPerDay = 86400.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr double kJ2000Mjd = 51544.5;  // 2000 Jan 1, 12:00 TT, as a Modified Julian Date (days)

// Angles.
constexpr double kDegree = std::numbers::pi / 180.0;     // rad
constexpr double kArcsecond = kDegree / 3600.0;         // rad

// Lengths.
constexpr double kAu = 1.495978707e11;  // astronomical unit (m)

// Gravitational parameters (m^3/s^2) of the built-in bodies, all from one
// consistent set, that of the JPL planetary and lunar ephemerides DE430/DE431
// (Folkner et al. 2014, IPN Progress Report 42-196, table 8; TDB-compatible),
// so that Earth's and the Moon's masses share out the Earth-Moon barycentre as
// the ephemeris does. Mars and Jupiter are their systems, moons included.
// docs/physical-constants.md lists these with the zonal coefficients.
constexpr double kGmSun = 1.327124400419394e20;
constexpr double kGmEarth = 3.98600435436e14;
constexpr double kGmMoon = 4.902800066e12;
constexpr double kGmMars = 4.2828375214e13;
constexpr double kGmVenus = 3.24858592e14;
constexpr double kGmJupiter = 1.267127648e17;
// Mean radii (m), from the IAU Working Group on Cartographic Coordinates and
// Rotational Elements' 2015 report (Archinal et al. 2018, table 5 and, for the
// Sun, IAU 2015 Resolution B3's nominal radius).
constexpr double kRadiusSun = 6.957e8;
constexpr double kRadiusEarth = 6.3710084e6;
constexpr double kRadiusMoon = 1.7374e6;
constexpr double kRadiusMars = 3.3895e6;
constexpr double kRadiusVenus = 6.0518e6;
constexpr double kRadiusJupiter = 6.9911e7;

}  // namespace simhost
