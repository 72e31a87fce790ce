// Unit quaternions of passive orientations (Rowenhorst et al. 2015, P = +1) and their conversions.
#pragma once

#include "lattixBatch.h"

namespace lattix {

// w >= 0.
TQuat euler2Quat(const TVec3D& e);
// Shepperd's choice of the largest of 4w^2, 4x^2, 4y^2, 4z^2 to divide by; w >= 0.
TQuat matrix2Quat(const TMat3D& g);
// q is normalised first; a zero or NaN q gives a NaN matrix.
TMat3D quat2Matrix(const TQuat& q);

}  // namespace lattix
