// Misorientation of many orientation pairs: AxisAngleMat's results with closed forms for the cubic
// and hexagonal groups and an operator search that skips most of the arithmetic elsewhere.
#pragma once

#include <cstdint>

#include "lattixBatch.h"

namespace lattix {

// How the pairs of one crystal set are evaluated; filled once per call.
struct MisorientationPlan {
    // A group whose operators' traces against D have a closed form: the
    // traces of the whole group in a fixed order, and which operator each is.
    enum class Family { none, cubic, hexagonal };
    const TCrySet* crySet = nullptr;
    int operatorCount = 0;
    Family family = Family::none;
    std::uint8_t operatorOfTrace[24] = {};
};

// SymOpCount must be 1..96.
void planMisorientation(const TCrySet& cs, MisorientationPlan& plan);

// AxisAngleMat's angle within 1e-12 rad for pairs [0, count); NaN where a or
// b holds a NaN.
void misorientationAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                          std::int64_t count, double* angle);
// The angles of quaternion pairs (as of their matrices, quat2Matrix) from the
// misorientation quaternion; false (nothing written) when the group has no
// closed form.
bool misorientationAnglesQuat(const MisorientationPlan& plan, const TQuat* a, const TQuat* b,
                              std::int64_t count, double* angle);
// The same for pairs [0, count).
void misorientationAxisAngles(const MisorientationPlan& plan, const TMat3D* a, const TMat3D* b,
                              std::int64_t count, double* angle, TVec3D* axis);
// AxisAngleMat's angle (within 1e-12 rad) and its axis (the same operator
// wins); NaN angle and axis where a or b holds a NaN.
void misorientationAxisAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b,
                             double& angle, TVec3D& axis);
// The same for d = A.B^T already formed (nine doubles in storage order).
void misorientationAxisAngle(const MisorientationPlan& plan, const double* d, double& angle,
                             TVec3D& axis);

// Arc cosine of x for x in [0.68, 1] without the library call: four times the
// arc sine of sqrt((1 - x)/2) by its series, exact to a few units of the last
// place.  Other x go to std::acos.
double fastArcCos(double x);

}  // namespace lattix
