// Numbers the program's views, window and preview share: one place for each.
#pragma once

#include <cmath>

namespace ebsp {

inline constexpr double kPi = 3.14159265358979323846;
// (180 / pi) as the degree mirrors of the Euler angles use it.
inline constexpr double kDegreesPerRadian = 57.29577951308232;
inline constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180

// The sphere of directions is drawn with radius 0.96 R, inside the cell's radius R, so that
// its rim and the axis stubs stay clear of the control's edge.
inline constexpr double kSphereRadiusFactor = 0.96;
// kSphereRadiusFactor squared, written out: the disc test of the pointer keeps this value.
inline constexpr double kSphereRadiusFactorSquared = 0.9216;
static_assert(kSphereRadiusFactorSquared - kSphereRadiusFactor * kSphereRadiusFactor < 1e-15 &&
              kSphereRadiusFactor * kSphereRadiusFactor - kSphereRadiusFactorSquared < 1e-15);
static_assert(kRadiansPerDegree * 180.0 - kPi < 1e-15 && kPi - kRadiansPerDegree * 180.0 < 1e-15);
static_assert(kDegreesPerRadian * kPi - 180.0 < 1e-12 && 180.0 - kDegreesPerRadian * kPi < 1e-12);

// Hexagonal (rather than rhombohedral) axes: gamma within 0.01 degree of 120; a difference
// of exactly 0.01 counts as rhombohedral.
inline bool hasHexagonalAxes(double gammaDeg) {
    return std::fabs(gammaDeg - 120.0) < 0.01;
}

}  // namespace ebsp
