// The pattern and its overlay.
#include "overlay_painters.h"

#include <algorithm>

namespace ebsp {

void paintPatternOverlay(QPainter& painter, const QImage& pattern,
                         const DetectorProjection& projection,
                         const std::vector<DetectorBandInput>& inputs, const BandLook& greyBands,
                         QColor background, const OverlayLook& look, const DetectorPlacement& place,
                         QSize pictureSize, double tolerance) {
    const QRect target(place.offsetX, place.offsetY, place.width, place.height);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, pattern);
    painter.restore();
    if (look.mode == OverlayMode::Pattern || inputs.empty() || pictureSize.isEmpty()) return;

    // The bands go onto a transparent layer first: the fast writers draw opaque pixels,
    // and the layer as a whole takes the opacity.
    QImage layer(pictureSize, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return;
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        BandLook bands = greyBands;
        if (look.mode == OverlayMode::Lines) {
            bands.shape = look.lines;
            bands.uniform = true;
            bands.uniformColour = look.colour;
        } else {
            layerPainter.fillRect(target, background);
        }
        paintDetectorBands(layerPainter, projection, inputs, bands, place, tolerance);
    }
    painter.save();
    // The blended simulation is opaque where the lines are thin: half as strong keeps the
    // measured bands in sight.
    const double opacity = look.mode == OverlayMode::Blend ? 0.5 * look.opacity : look.opacity;
    painter.setOpacity(std::clamp(opacity, 0.0, 1.0));
    painter.drawImage(QPoint(0, 0), layer);
    painter.restore();
}

}  // namespace ebsp
