// One-pixel band lines written straight into an RGB32 image: the map draws up to 200 bands
// of 16 to 32 points per frame, and per-pixel span blending made them the bulk of a frame.
#pragma once

#include <QImage>

#include "kikuchi_bands.h"

namespace ebsp {

// Draws the polyline through the points (closed: back to the first one as well) with a
// one-pixel solid line in colour, both ends of every segment included.  The image must be
// Format_RGB32 or Format_ARGB32*; segments leaving the image are clipped.
void drawBandPolyline(QImage& image, const IntPoint* points, int count, bool closed, QRgb colour);

}  // namespace ebsp
