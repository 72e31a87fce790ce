// Painters of the detector view: the bands on the flat screen, the zone-axis markers, the
// pattern centre and the frame, drawn with a QPainter from the Qt-free detector geometry
// (pixel positions of the fitted display detector, shifted by the fit's offset).
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

#include <vector>

#include "detector_geometry.h"
#include "view_painters.h"

namespace ebsp {

struct DetectorZoneLabel {
    DetectorPoint at;  // display pixels of the fitted detector
    QString text;
};

struct DetectorLook {
    BandLook bands;
    QColor outside;     // around the pattern
    QColor background;  // the pattern's own
    QColor frame;
    QColor centreMark;  // the pattern centre's cross
    QColor zoneMark;
    LabelLook labels;
};

// Where the fitted pattern sits in the picture.
struct DetectorPlacement {
    int offsetX = 0;
    int offsetY = 0;
    int width = 0;  // the display detector's Width and Height
    int height = 0;
    // The pattern centre and the source distance in the display detector's pixels.
    double pcX = 0.0, pcY = 0.0, distance = 1.0;
};

// The bands from the last to the first (strongest on top), projected here: solid bands are
// the odd-even fill of their region with their edges on it, the other styles their edges
// or centre lines.  On a 32-bit QImage the lines go straight into the image, and solid
// bands are written row by row, strongest first, every pixel centre tested against the
// band's two cones; elsewhere everything goes through the painter.  tolerance: the largest
// distance in pixels between an edge and its polyline.
void paintDetectorBands(QPainter& painter, const DetectorProjection& projection,
                        const std::vector<DetectorBandInput>& inputs, const BandLook& look,
                        const DetectorPlacement& place, double tolerance = 0.25);

// Everything else: zone markers with their labels, the pattern centre's cross, the frame.
void paintDetectorOverlay(QPainter& painter, const std::vector<DetectorZoneLabel>& zones,
                          DetectorPoint patternCentre, const DetectorLook& look,
                          const DetectorPlacement& place);

}  // namespace ebsp
