// Turning an orientation about an axis of the view frame: the mouse drag and the window's
// spin both use this one routine.  No Qt here.
#pragma once

#include "lattixLib.h"

namespace ebsp {

// Euler angles after turning the orientation `euler` by `angle` (radians) about `axis`
// (view frame; need not be unit length): the matrix g . R(axis, angle).
TVec3D rotateOrientation(const TVec3D& euler, const TVec3D& axis, double angle);

// The same turn applied from the other side, R(axis, angle)^T . g, through the inverse
// orientation (-phi2, -Phi, -phi1).
TVec3D rotateOrientationInverse(const TVec3D& euler, const TVec3D& axis, double angle);

}  // namespace ebsp
