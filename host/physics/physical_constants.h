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

// Gravitational parameters (m^3/s^2) and mean radii (m) of the built-in bodies.
constexpr double kGmSun = 1.32712440018e20;
constexpr double kGmEarth = 3.986004418e14;
constexpr double kGmMoon = 4.9048695e12;
constexpr double kGmMars = 4.282837e13;
constexpr double kGmVenus = 3.24858592e14;
constexpr double kGmJupiter = 1.26712764e17;  // the Jupiter system, its moons included
constexpr double kRadiusSun = 6.957e8;
constexpr double kRadiusEarth = 6.371e6;
constexpr double kRadiusMoon = 1.7374e6;
constexpr double kRadiusMars = 3.3895e6;
constexpr double kRadiusVenus = 6.0518e6;
constexpr double kRadiusJupiter = 6.9911e7;

}  // namespace simhost
