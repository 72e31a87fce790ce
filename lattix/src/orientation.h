// Orientation representations: Bunge Euler angles, rotation matrices, axis-angle, direction angles.
#pragma once

#include "lattixtype.h"

namespace lattix {

TMat3D euler2Matrix(const TVec3D& e);
// False when g(3,3) is beyond +-(1 + 1e-12); then e keeps what was written and
// the caller (the export) shows the "Error Matrix2Euler" box.
bool matrix2Euler(const TMat3D& g, TVec3D& e);
TMat3D axisAngle2Matrix(const TVec3D& n, double w);
TVec3D ang2Dir(double phi, double theta);
void dir2Ang(const TVec3D& v, double& phi, double& theta);

}  // namespace lattix
