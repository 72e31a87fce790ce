// Misorientation of many orientation pairs: AxisAngleMat's results with closed forms for the cubic
// and hexagonal groups and an operator search that skips most of the arithmetic elsewhere.
#pragma once

#include <cstdint>

#include "lattixtype.h"

namespace lattix {

// How the pairs of one crystal set are evaluated; filled once per call.
struct MisorientationPlan {
    enum class Shortcut { none, cubic, hexagonal };
    // One operator's trace against D as a short sum over the elements of D
    // that it does not multiply by (nearly) zero.
    struct TraceForm {
        std::uint8_t count;
        std::uint8_t index[9];
        double coefficient[9];
    };
    const TCrySet* crySet = nullptr;
    int operatorCount = 0;
    Shortcut shortcut = Shortcut::none;
    TraceForm forms[96];
};

// SymOpCount must be 1..96.
void planMisorientation(const TCrySet& cs, MisorientationPlan& plan);

// AxisAngleMat's angle within 1e-12 rad; NaN when a or b holds a NaN.
double misorientationAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b);
// AxisAngleMat's angle (within 1e-12 rad) and its axis (the same operator
// wins); NaN angle and axis when a or b holds a NaN.
void misorientationAxisAngle(const MisorientationPlan& plan, const TMat3D& a, const TMat3D& b,
                             double& angle, TVec3D& axis);

// Arc cosine of x for x in [0.68, 1] without the library call: four times the
// arc sine of sqrt((1 - x)/2) by its series, exact to a few units of the last
// place.  Other x go to std::acos.
double fastArcCos(double x);

}  // namespace lattix
