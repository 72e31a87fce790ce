// A measured pattern under the detector view's bands: the image scaled onto the fitted
// detector, then the simulated band lines in one colour, or the view's grey bands, laid
// over it with an opacity.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

#include <vector>

#include "detector_geometry.h"
#include "detector_painters.h"
#include "view_painters.h"

namespace ebsp {

// Lines: band centre lines or edges over the pattern; Blend: the simulated grey bands
// over it; Pattern: the pattern alone.
enum class OverlayMode { Lines, Blend, Pattern };

struct OverlayLook {
    OverlayMode mode = OverlayMode::Lines;
    BandShape lines = BandShape::Centre;  // Centre or Edges
    QColor colour = QColor(255, 40, 40);
    double opacity = 0.75;  // 0 .. 1, of the lines (the blended simulation takes half)
};

// Draws pattern (any size; it is stretched onto the detector's rectangle), then the bands
// as look asks.  greyBands: the view's own band look, used for the blended simulation on
// the view's background colour.
void paintPatternOverlay(QPainter& painter, const QImage& pattern,
                         const DetectorProjection& projection,
                         const std::vector<DetectorBandInput>& inputs, const BandLook& greyBands,
                         QColor background, const OverlayLook& look, const DetectorPlacement& place,
                         QSize pictureSize, double tolerance);

}  // namespace ebsp
