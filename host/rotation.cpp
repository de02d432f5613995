#include "host/rotation.h"

#include <algorithm>

namespace simhost {

Mat3 identityMatrix() { return Mat3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

Mat3 rotationFromAngles(const VECTOR3& arot) {
    const double sa = std::sin(arot.x), ca = std::cos(arot.x);
    const double sb = std::sin(arot.y), cb = std::cos(arot.y);
    const double sg = std::sin(arot.z), cg = std::cos(arot.z);
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

VECTOR3 operator*(const Mat3& r, const VECTOR3& v) {
    return vec3(r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
                r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
                r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z);
}

VECTOR3 transposeTimes(const Mat3& r, const VECTOR3& v) {
    return vec3(r.m[0][0] * v.x + r.m[1][0] * v.y + r.m[2][0] * v.z,
                r.m[0][1] * v.x + r.m[1][1] * v.y + r.m[2][1] * v.z,
                r.m[0][2] * v.x + r.m[1][2] * v.y + r.m[2][2] * v.z);
}

Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return c;
}

}  // namespace simhost
