// Texture components (Euler and {hkl}<uvw> forms) and fibres: set-up once, deviation per
// orientation.
#pragma once

#include "lattixtype.h"

namespace lattix {

void texCompEulerInit(TTexCompSet& tc);
// False when no equivalent of the direction lies in the plane; CompMatrix is
// then left as it was.
bool texCompHKLUVWInit(TTexCompSet& tc);
// Smallest misorientation between the component and the orientation (Euler
// triple); true when it is below Tolerance (equal: outside).
bool texCompComplete(const TTexCompSet& tc, const TVec3D& orientation, double& deviation);

void texCompFiberInit(TTexCompSet& tc);
// Angle between the fibre's crystal direction and the nearest symmetric
// equivalent of the specimen direction; the fibre is polar.
bool texCompFiber(const TTexCompSet& tc, const TVec3D& orientation, double& deviation);

}  // namespace lattix
