// Misorientation between two orientations of one phase, all its symmetric solutions, and twin
// tests.
#pragma once

#include <cstdint>

#include "lattixtype.h"

namespace lattix {

// Smallest rotation angle over the set's operators between the orientation
// matrices a and b, with its axis in a's crystal frame.  False when the axis
// cannot be normalised (angle 0 or pi); then the axis is (1,0,0).
bool axisAngleMat(const TCrySet& cs, const TMat3D& a, const TMat3D& b, TVec3D& axis, double& angle);
// Identical triples (exact comparison): axis (1,0,0), angle 0, false.
bool axisAngleEul(const TCrySet& cs, const TVec3D& a, const TVec3D& b, TVec3D& axis, double& angle);

// Every operator's solution, sorted by ascending angle (96-entry arrays).
// Returns the normalisation result of the axis computed last.
bool axisAngleMatAll(const TCrySet& cs, const TMat3D& a, const TMat3D& b, std::int32_t& count,
                     TVec3D* axes, double* angles);
// Identical triples: all 96 entries become axis (1,0,0) and angle 0, count
// becomes the operator count and the result is false.
bool axisAngleEulAll(const TCrySet& cs, const TVec3D& a, const TVec3D& b, std::int32_t& count,
                     TVec3D* axes, double* angles);

// In-place quicksort of count entries by ascending angle, exchanging axes
// with angles; pivots come from the library's generator.  resetSeed restarts
// the generator first.
void sortByAngle(TVec3D* axes, double* angles, int count, bool resetSeed);

// E(euler)^T.axis: a crystal-frame axis in that orientation's specimen frame.
TVec3D convertCommonAxisToCS1(const TVec3D& euler, const TVec3D& axis);

void sgbTwinInit(TTwinSet& twin);
// True when the misorientation (unit axis, crystal frame; angle) is the twin;
// deviation receives the angle to the matching twin axis (0 otherwise).
bool sgbTwin(const TTwinSet& twin, double& deviation, const TVec3D& axis, double angle);

}  // namespace lattix
