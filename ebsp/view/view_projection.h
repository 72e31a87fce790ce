// The view's projection: the orthographic picture of the unit cell (radius R) and of the
// sphere of directions (radius 0.96 R) around the picture's centre, its inverse for the
// pointer, and the drag rotation.  No Qt here.  A second projection (the detector's
// gnomonic one) sits beside this type with the same three questions: pixel of a view-frame
// direction, direction under a pixel, and whether the picture has any area.
#pragma once

#include "lattixLib.h"

namespace ebsp {

// A pixel position; laid out as Qt's QPoint (two ints, x then y).
struct IntPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

// Truncates toward zero like the pixel placement does.  Values far outside any image
// (and NaN) are clamped first: converting them to int would be undefined.
int truncatePixel(double value);

struct OrthographicProjection {
    double cx = 0.0;  // centre, pixels
    double cy = 0.0;
    double R = 0.0;  // radius of the cell's picture, pixels

    // Centre at the halved width and height (integer halves), radius the smaller of the two.
    static OrthographicProjection forSize(int width, int height);

    bool hasArea() const { return R > 0.0; }
    // Pixel of a view-frame point of the cell (x right, y up), at scale R.
    IntPoint cellPixel(const TVec3D& viewPoint) const;
    // Pixel of a view-frame direction on the sphere drawn with radius 0.96 R.
    IntPoint spherePixel(const TVec3D& viewDirection) const;
    // Unit view-frame direction under pixel (X, Y) and whether it lies in the sphere's
    // disc.  Outside the disc, the rim point in that direction with inside = false; a
    // direction that cannot be normalised comes back as (0, 0, 0); a picture without area
    // gives (0, 0, 1) with inside = false.
    TVec3D sphereDirection(double X, double Y, bool& inside) const;
};

// Orientation reached by dragging from (X0, Y0) to (X, Y), always taken from the drag's
// start orientation; the start orientation itself when both points coincide.  False
// (result untouched) when they are opposite.  Needs a projection with area.
bool dragRotate(const OrthographicProjection& projection, int X, int Y, int X0, int Y0,
                const TVec3D& startEuler, TVec3D& result);

}  // namespace ebsp
