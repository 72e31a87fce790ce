// The designer preview's sample: inside a form designer the view shows a hexagonal crystal
// with its unit cell and Kikuchi bands, so that a form author sees what the control does.
// No Qt here.
#pragma once

#include <cstdint>

#include "lattixLib.h"

namespace ebsp {

// One entry of the preview's reflector list.
struct PreviewReflector {
    int8_t h = 0, k = 0, l = 0;
    double spacing = 0.0;
    double intensity = 0.0;
};

// The sample's orientation (Euler angles in radians, as written).
inline constexpr TVec3D kPreviewOrientation{23.0, 47.0, 39.0};

// Builds the sample crystal; false (and an empty record) without readable setup data.
bool buildPreviewCrystal(TCrySet& crySet);

// The preview list of a crystal set: every family of the sample expanded by the set's
// symmetry; returns the number of entries written (at most kMaxReflectors).
int buildPreviewReflectorList(const TCrySet& crySet, PreviewReflector* out);

}  // namespace ebsp
