// Rotations built independently of the host's code: the textbook elementary
// rotations about the global axes, multiplied in the host's angle convention.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "frame/host_api.h"

namespace reference {

using Matrix = std::array<std::array<double, 3>, 3>;

inline Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}
inline Matrix rx(double t) { return {{{1, 0, 0}, {0, std::cos(t), -std::sin(t)}, {0, std::sin(t), std::cos(t)}}}; }
inline Matrix ry(double t) { return {{{std::cos(t), 0, std::sin(t)}, {0, 1, 0}, {-std::sin(t), 0, std::cos(t)}}}; }
inline Matrix rz(double t) { return {{{std::cos(t), -std::sin(t), 0}, {std::sin(t), std::cos(t), 0}, {0, 0, 1}}}; }

// R = Rx(-alpha) * Ry(-beta) * Rz(-gamma): local axes to global ones.
inline Matrix fromAngles(double alpha, double beta, double gamma) {
    return multiply(rx(-alpha), multiply(ry(-beta), rz(-gamma)));
}

inline VECTOR3 column(const Matrix& m, int j) { return vec3(m[0][j], m[1][j], m[2][j]); }

inline void expectNear(const VECTOR3& actual, const VECTOR3& expected, double tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace reference
