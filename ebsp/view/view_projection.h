// View geometry shared by the cell, the map and the pointer: centre and radius, pixel
// truncation, the orthographic sphere inverse and the drag rotation.  No Qt here.
#pragma once

#include "lattixLib.h"

namespace ebsp {

// Centre and radius of the picture in pixels.
struct ViewSize {
    double cx = 0.0;
    double cy = 0.0;
    double R = 0.0;
};

// Centre at the halved width and height (integer halves), radius the smaller of the two.
ViewSize viewSizeFor(int width, int height);

// Truncates toward zero like the pixel placement does.  Values far outside any image
// (and NaN) are clamped first: converting them to int would be undefined.
int truncatePixel(double value);

// Orthographic inverse of the sphere drawn with radius 0.96 R: the unit view-frame
// direction under pixel (X, Y).  Outside the disc, the rim point in that direction and
// inside = false.  A direction that cannot be normalised comes back as (0, 0, 0).
// Needs R > 0.
TVec3D screenToSphere(const ViewSize& view, double X, double Y, bool& inside);

// Euler angles after turning the orientation `euler` by `angle` (radians) about `axis`
// (view frame; need not be unit length).
TVec3D rotateOrientation(const TVec3D& euler, const TVec3D& axis, double angle);

// Orientation reached by dragging from (X0, Y0) to (X, Y), always taken from the drag's
// start orientation; the start orientation itself when both points coincide.  False
// (result untouched) when they are opposite.  Needs R > 0.
bool dragRotate(const ViewSize& view, int X, int Y, int X0, int Y0, const TVec3D& startEuler,
                TVec3D& result);

// (180 / pi) as the degree mirrors of the Euler angles use it.
inline constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace ebsp
