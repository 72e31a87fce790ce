// Orientation from a plane and a direction in it, and small indices for an arbitrary direction.
#pragma once

#include <cstddef>
#include <string_view>

#include "lattixtype.h"

namespace lattix {

// Column 3 of out: the plane normal; column 1: the first equivalent of the
// direction lying in the plane (|dot| < 0.001), column 2 completing a
// right-handed set.  False when no equivalent lies in the plane (then only
// column 3 has been written) or when the columns cannot be orthogonalised.
bool hkluvw2Matrix(const TCrySet& cs, std::string_view hkl, std::string_view uvw, TMat3D& out);

// Longest limit text the Axis2Indices cache holds (without the NUL).  A
// longer text is parsed on every call and never cached.
constexpr std::size_t kLimitTextCapacity = 63;

// Writes into text (capacity textSize) the direction with small indices,
// within the limits, nearest the unit vector v, and into angle the angle
// between them.  When no candidate has a positive dot product with v (zero
// limits, an unparsable limit text, a zero or non-finite v) the indices are
// zero and the angle is pi/2.
void axis2Indices(const TCrySet& cs, const TVec3D& v, bool four, const char* limits, char* text,
                  std::size_t textSize, double& angle);

}  // namespace lattix
