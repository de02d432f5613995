#include "host/physics/rotation.h"

#include <algorithm>
#include <numbers>

#include "host/physics/sine_cosine.h"

namespace simhost {

Mat3 identityMatrix() { return Mat3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

Mat3 rotationFromAngles(const VECTOR3& arot) {
    VECTOR3 sine, cosine;
    sineCosine3(arot, sine, cosine);
    const double sa = sine.x, ca = cosine.x, sb = sine.y, cb = cosine.y, sg = sine.z, cg = cosine.z;
    return Mat3{{
        {cb * cg, cb * sg, -sb},
        {sa * sb * cg - ca * sg, ca * cg + sa * sb * sg, sa * cb},
        {ca * sb * cg + sa * sg, ca * sb * sg - sa * cg, ca * cb},
    }};
}

VECTOR3 anglesFromRotation(const Mat3& r) {
    const double sinBeta = std::clamp(-r.m[0][2], -1.0, 1.0);
    return vec3(std::atan2(r.m[1][2], r.m[2][2]), std::asin(sinBeta), std::atan2(r.m[0][1], r.m[0][0]));
}

Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return c;
}

Mat3 axisAngleRotation(const VECTOR3& axis, double angle) {
    const double s = std::sin(angle), c = std::cos(angle);
    const double half = std::sin(0.5 * angle);
    const double t = 2.0 * half * half;  // 1 - cos(angle), without cancellation at small angles
    const double x = axis.x, y = axis.y, z = axis.z;
    return Mat3{{
        {t * x * x + c, t * x * y - s * z, t * x * z + s * y},
        {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
        {t * x * z - s * y, t * y * z + s * x, t * z * z + c},
    }};
}

Mat3 smallestRotation(const VECTOR3& from, const VECTOR3& to, const VECTOR3& halfTurnAxis) {
    // Below this sine the axis from the cross product is mostly rounding noise.
    constexpr double kParallelSine = 1e-14;
    const VECTOR3 axis = crossp(from, to);
    const double sine = length(axis), cosine = dotp(from, to);
    if (sine >= kParallelSine) return axisAngleRotation(axis * (1.0 / sine), std::atan2(sine, cosine));
    return cosine > 0.0 ? identityMatrix() : axisAngleRotation(halfTurnAxis, std::numbers::pi);
}

Mat3 orthonormalized(const Mat3& r) {
    const VECTOR3 z = unit(vec3(r.m[0][2], r.m[1][2], r.m[2][2]));
    const VECTOR3 x0 = vec3(r.m[0][0], r.m[1][0], r.m[2][0]);
    const VECTOR3 x = unit(x0 - z * dotp(z, x0));
    const VECTOR3 y = crossp(z, x);
    return Mat3{{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
}

}  // namespace simhost
