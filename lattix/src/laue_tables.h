// Fixed knowledge of the eleven Laue groups and the 230 space groups.
#pragma once

#include "lattixtype.h"

namespace lattix {

constexpr int kLaueGroupCount = LATTIX_LAUE_GROUP_COUNT;

bool isLaueIndex(int laue);
// (phi1 max, Phi max, phi2 max) in radians; (2pi, pi, 2pi) outside 1..11.
TVec3D eulerLimits(int laue);
const char* laueShortText(int laue);               // nullptr outside 1..11
const char* laueLongText(int laue);                // nullptr outside 1..11
double axisAngleLimit(int laue);                   // pi outside 1..11
const char* hermannMauguinSymbol(int spaceGroup);  // "[Error]" outside 1..230
int laueGroupIndex(int phaseCode);                 // -1 outside the ranges

}  // namespace lattix
