// Geometry of the detector view, without Qt: Kikuchi bands as the flat EBSD screen shows them
// (centre line, the two hyperbolic edges, the band region), zone-axis markers, the pattern
// centre and the pointer pick, all in continuous pixel coordinates of the pattern (origin at the
// outer top-left corner, X right, Y down, as lattixDetector.h).
#pragma once

#include <cstdint>
#include <vector>

#include "lattixDetector.h"

namespace ebsp {

struct DetectorPoint {
    double x = 0.0;
    double y = 0.0;
};
using DetectorPolyline = std::vector<DetectorPoint>;

// One band to draw.
struct DetectorBandInput {
    TVec3D normal{};         // plane normal in the crystal frame (Recip.(hkl)), any length
    double halfWidth = 0.0;  // Bragg angle theta, radians; the edges lie at +-theta
    uint32_t rgb = 0;        // 0xRRGGBB, handed through to the shape
};

// A band on the screen.  edges[0] is the edge n.r = +sin(theta) on the pattern centre's side
// of the centre line, edges[1] the far edge n.r = -sin(theta) (n signed as for
// DetectorBandLine).  Each edge is a branch of a hyperbola (an ellipse when the band circles
// the pattern centre) cut into the pieces that lie on the closed screen rectangle; every point
// is exactly on its edge.  fill holds closed polygons (the last point not repeated): the band's
// part of the screen is what the odd-even rule fills.  Bands without width get no edges and
// no fill.
struct DetectorBandShape {
    int32_t lineStatus = 2;  // DetectorBandLine's result: 0 crosses, 1 misses, 2 at infinity
    double line[3] = {0.0, 0.0, 0.0};  // a X + b Y + c = 0, a^2 + b^2 = 1, when status <= 1
    DetectorPolyline centre;           // the centre line on the screen: two points or none
    std::vector<DetectorPolyline> edges[2];
    std::vector<DetectorPolyline> fill;
    bool onScreen = false;  // some of the band (its centre line, or its width) is on the screen
    uint32_t rgb = 0;
};

// A zone axis [uvw].  When the given direction points away from the screen its opposite is
// projected and flipped is set (label it with the negated indices).
struct DetectorZoneMarker {
    int32_t status = 2;  // DetectorProject's result for the projected direction: 0 on the screen,
                         // 1 on the screen plane outside the rectangle, 2 at infinity
    bool flipped = false;
    DetectorPoint at;  // written when status is 0 or 1
};

// One detector and one orientation g (sample -> crystal); cheap to make per frame.
class DetectorProjection {
  public:
    DetectorProjection(const TDetector& detector, const TMat3D& g);

    // False when the library refuses the detector or g; every result is then empty.
    bool valid() const { return valid_; }
    const TDetector& detector() const { return detector_; }

    // The pattern centre marker at (PCx Nx, PCy Ny).
    DetectorPoint patternCentre() const;
    // The screen's outline: its four corners clockwise from the top-left.
    DetectorPolyline frame() const;

    // tolerance: the largest distance, in pixels, between a polyline chord and its edge.
    DetectorBandShape band(const DetectorBandInput& input, double tolerance = 0.25) const;
    std::vector<DetectorBandShape> bands(const std::vector<DetectorBandInput>& inputs,
                                         double tolerance = 0.25) const;

    // crystalDir: Cartesian crystal direction (Direct.[uvw]), any length.
    DetectorZoneMarker zoneAxis(const TVec3D& crystalDir) const;

    // The unit crystal direction under pixel position (x, y); false when there is none.
    bool pick(double x, double y, TVec3D& crystalDir) const;

  private:
    TDetector detector_;
    TMat3D g_;
    TMat3D toG_{};  // crystal -> projection frame, M_SG g^T
    bool valid_ = false;
};

}  // namespace ebsp
