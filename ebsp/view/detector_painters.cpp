// Painters of the detector view.
#include "detector_painters.h"

#include <QImage>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "band_raster.h"

namespace ebsp {
namespace {

QImage* rasterTarget(QPainter& painter) {
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image) return nullptr;
    QImage* image = static_cast<QImage*>(device);
    return image->depth() == 32 && painter.transform().isIdentity() ? image : nullptr;
}

// The pixel a continuous position lies in; the far border belongs to the last pixel.
IntPoint pixelOf(const DetectorPoint& p, const DetectorPlacement& place) {
    const int x = std::clamp(truncatePixel(std::floor(p.x)), 0, std::max(place.width - 1, 0));
    const int y = std::clamp(truncatePixel(std::floor(p.y)), 0, std::max(place.height - 1, 0));
    return IntPoint{x + place.offsetX, y + place.offsetY};
}

void polyline(QPainter& painter, QImage* raster, const DetectorPolyline& line, QRgb colour,
              const DetectorPlacement& place, std::vector<IntPoint>& scratch) {
    if (line.size() < 2) return;
    if (raster != nullptr) {
        scratch.clear();
        for (const DetectorPoint& p : line)
            scratch.push_back(pixelOf(p, place));
        drawBandPolyline(*raster, scratch.data(), int(scratch.size()), false, colour);
        return;
    }
    QPolygonF points;
    points.reserve(qsizetype(line.size()));
    for (const DetectorPoint& p : line)
        points.append(QPointF(p.x + place.offsetX, p.y + place.offsetY));
    painter.setPen(QPen(QColor::fromRgb(colour), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(points);
}

}  // namespace

void paintDetectorBands(QPainter& painter, const std::vector<DetectorBandShape>& shapes,
                        const BandLook& look, const DetectorPlacement& place) {
    QImage* raster = rasterTarget(painter);
    std::vector<IntPoint> scratch;
    painter.save();
    for (size_t i = shapes.size(); i-- > 0;) {  // the first (strongest) on top
        const DetectorBandShape& shape = shapes[i];
        if (!shape.onScreen) continue;
        const QColor colour = look.uniform ? look.uniformColour : QColor::fromRgb(shape.rgb);
        const QRgb rgb = colour.rgb();
        switch (look.shape) {
            case BandShape::Solid: {
                // Pixel centres at +1/2 are sampled against the region, as the edges are
                // placed: fill and outline meet without a gap.
                QPainterPath path;
                path.setFillRule(Qt::OddEvenFill);
                for (const DetectorPolyline& polygon : shape.fill) {
                    QPolygonF points;
                    points.reserve(qsizetype(polygon.size()) + 1);
                    for (const DetectorPoint& p : polygon)
                        points.append(QPointF(p.x + place.offsetX, p.y + place.offsetY));
                    if (!points.isEmpty()) points.append(points.front());
                    path.addPolygon(points);
                }
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                painter.drawPath(path);
                for (const auto& edge : shape.edges)
                    for (const DetectorPolyline& piece : edge)
                        polyline(painter, raster, piece, rgb, place, scratch);
                break;
            }
            case BandShape::Edges:
                for (const auto& edge : shape.edges)
                    for (const DetectorPolyline& piece : edge)
                        polyline(painter, raster, piece, rgb, place, scratch);
                break;
            case BandShape::Centre:
                polyline(painter, raster, shape.centre, rgb, place, scratch);
                break;
        }
    }
    painter.restore();
}

void paintDetectorOverlay(QPainter& painter, const std::vector<DetectorZoneLabel>& zones,
                          DetectorPoint patternCentre, const DetectorLook& look,
                          const DetectorPlacement& place) {
    painter.save();
    // Labels first, above their markers; the markers on top stay whole where labels crowd.
    const int lift = painter.fontMetrics().height() / 2 + 7;
    for (const DetectorZoneLabel& zone : zones) {
        const IntPoint p = pixelOf(zone.at, place);
        // Below the marker where the label would leave the pattern at the top.
        const int y = p.y - 2 * lift < place.offsetY ? p.y + lift : p.y - lift;
        paintLabel(painter, IntPoint{p.x, y}, look.zoneMark, zone.text, look.labels);
    }
    painter.setPen(QPen(look.zoneMark, 1));
    painter.setBrush(look.zoneMark);
    for (const DetectorZoneLabel& zone : zones) {
        const IntPoint p = pixelOf(zone.at, place);
        painter.drawEllipse(QRect(p.x - 3, p.y - 3, 7, 7));
    }
    const IntPoint c = pixelOf(patternCentre, place);
    painter.setPen(QPen(look.centreMark, 1));
    painter.drawLine(c.x - 7, c.y, c.x + 7, c.y);
    painter.drawLine(c.x, c.y - 7, c.x, c.y + 7);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRect(c.x - 4, c.y - 4, 9, 9));
    painter.setPen(QPen(look.frame, 1));
    painter.drawRect(QRect(place.offsetX, place.offsetY, place.width - 1, place.height - 1));
    painter.restore();
}

}  // namespace ebsp
