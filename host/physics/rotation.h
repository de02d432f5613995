// Rotation matrices between a vessel's local axes and the global frame.
#pragma once

#include "frame/host_api.h"

namespace simhost {

// Row-major 3x3 matrix; as an attitude it maps local directions to global ones.
struct Mat3 {
    double m[3][3];
};

OAPIFUNC Mat3 identityMatrix();
// The host's angle convention: R = Rx(-alpha) * Ry(-beta) * Rz(-gamma), with
// (alpha, beta, gamma) = (arot.x, arot.y, arot.z) and Rx, Ry, Rz the right-handed
// rotations about the global axes.
OAPIFUNC Mat3 rotationFromAngles(const VECTOR3& arot);
// The inverse of rotationFromAngles for a proper rotation (beta in [-pi/2, pi/2]).
OAPIFUNC VECTOR3 anglesFromRotation(const Mat3& r);

// Inline: the vessel interface turns vectors many times per step.
inline VECTOR3 operator*(const Mat3& r, const VECTOR3& v) {
    return vec3(r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
                r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
                r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z);
}
// R^T * v: global direction to local.
inline VECTOR3 transposeTimes(const Mat3& r, const VECTOR3& v) {
    return vec3(r.m[0][0] * v.x + r.m[1][0] * v.y + r.m[2][0] * v.z,
                r.m[0][1] * v.x + r.m[1][1] * v.y + r.m[2][1] * v.z,
                r.m[0][2] * v.x + r.m[1][2] * v.y + r.m[2][2] * v.z);
}
Mat3 operator*(const Mat3& a, const Mat3& b);

// Right-handed rotation by angle (rad) about a unit axis (Rodrigues' formula).
Mat3 axisAngleRotation(const VECTOR3& axis, double angle);
// The smallest rotation that takes unit vector from onto unit vector to. Opposite
// vectors have no single smallest one: then the half turn about halfTurnAxis (a
// unit vector perpendicular to from) is used.
Mat3 smallestRotation(const VECTOR3& from, const VECTOR3& to, const VECTOR3& halfTurnAxis);
// The attitude with its rounding errors removed: the third column keeps its
// direction, the first is made perpendicular to it and the second completes a
// right-handed orthonormal set.
Mat3 orthonormalized(const Mat3& r);

}  // namespace simhost
