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

bool spanTarget(const QImage* image) {
    if (image == nullptr) return false;
    const QImage::Format f = image->format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}

// The band's pixels, row by row: a pixel centre at v = (x', y', DD) from the PC lies in the
// band when (n.v)^2 < sin^2(theta) |v|^2, a quadratic in x' on each row.  The normal comes
// back from the centre line a X + b Y + c = 0, which is n . v = 0 in pixels.
// Pixels already taken by stronger bands, per row: sorted, disjoint [first, last] runs.
using RowCover = std::vector<std::vector<std::pair<int, int>>>;

// Writes colour over [a, b] where the row is not yet taken, and takes it.
void coverSpan(std::vector<std::pair<int, int>>& taken, QRgb* row, int a, int b, QRgb colour) {
    int x = a;
    size_t first = 0;
    while (first < taken.size() && taken[first].second < a - 1)
        ++first;
    size_t end = first;
    for (; end < taken.size() && taken[end].first <= b + 1; ++end) {
        if (taken[end].first > x)
            std::fill(row + x, row + std::min(taken[end].first - 1, b) + 1, colour);
        x = std::max(x, taken[end].second + 1);
    }
    if (x <= b) std::fill(row + x, row + b + 1, colour);
    // Runs first..end-1 touch [a, b]: they merge with it into one.
    std::pair<int, int> merged{a, b};
    if (end > first) {
        merged.first = std::min(a, taken[first].first);
        merged.second = std::max(b, taken[end - 1].second);
        taken.erase(taken.begin() + std::ptrdiff_t(first), taken.begin() + std::ptrdiff_t(end));
    }
    taken.insert(taken.begin() + std::ptrdiff_t(first), merged);
}

void fillBandRows(QImage& image, const DetectorBandShape& shape, double halfWidth, QRgb colour,
                  const DetectorPlacement& place, RowCover& cover) {
    const double dd = place.distance;
    const double nx = shape.line[0], ny = -shape.line[1],
                 nz = (shape.line[2] + shape.line[0] * place.pcX + shape.line[1] * place.pcY) / dd;
    const double norm = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double s2 = std::sin(halfWidth) * std::sin(halfWidth) * norm * norm;
    const double A = nx * nx - s2;
    const int last = place.width - 1;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    int i = 0;
    auto span = [&](QRgb* row, double from, double to) {  // x' interval, open
        const double j0 = std::ceil(std::max(from + place.pcX - 0.5, -1.0));
        const double j1 = std::floor(std::min(to + place.pcX - 0.5, double(place.width)));
        const int a = std::max(int(j0), 0), b = std::min(int(j1), last);
        if (a <= b) coverSpan(cover[size_t(i)], row + place.offsetX, a, b, colour);
    };
    const double inf = 1e300;
    for (; i < place.height; ++i) {
        if (cover[size_t(i)].size() == 1 && cover[size_t(i)][0].first == 0 &&
            cover[size_t(i)][0].second == last)
            continue;  // the row is full
        const double y = place.pcY - (i + 0.5);
        const double c0 = ny * y + nz * dd;
        const double B = 2.0 * nx * c0, C = c0 * c0 - s2 * (y * y + dd * dd);
        QRgb* row = reinterpret_cast<QRgb*>(bits + stride * (place.offsetY + i));
        if (A == 0.0) {
            if (B > 0.0)
                span(row, -inf, -C / B);
            else if (B < 0.0)
                span(row, -C / B, inf);
            else if (C < 0.0)
                span(row, -inf, inf);
            continue;
        }
        const double disc = B * B - 4.0 * A * C;
        if (disc <= 0.0) {
            if (A < 0.0) span(row, -inf, inf);  // negative everywhere (but at a double root)
            continue;
        }
        const double r = std::sqrt(disc);
        // Roots without cancellation.
        const double q = -0.5 * (B + (B >= 0.0 ? r : -r));
        double x1 = q / A, x2 = q != 0.0 ? C / q : -x1;
        if (x1 > x2) std::swap(x1, x2);
        if (A > 0.0) {
            span(row, x1, x2);
        } else {
            span(row, -inf, x1);
            span(row, x2, inf);
        }
    }
}

}  // namespace

void paintDetectorBands(QPainter& painter, const DetectorProjection& projection,
                        const std::vector<DetectorBandInput>& inputs, const BandLook& look,
                        const DetectorPlacement& place, double tolerance) {
    QImage* raster = rasterTarget(painter);
    if (look.shape == BandShape::Solid && spanTarget(raster) && place.width > 0 &&
        place.height > 0) {
        // Strongest first, each band only where no stronger one lies: every pixel is
        // written once, and the exact region needs neither edges nor an outline.
        RowCover cover(size_t(place.height));
        for (const DetectorBandInput& input : inputs) {
            if (!(input.halfWidth > 0.0)) continue;
            DetectorBandShape shape =
                projection.band(DetectorBandInput{input.normal, 0.0, input.rgb});
            if (shape.lineStatus > 1) continue;
            const QColor colour = look.uniform ? look.uniformColour : QColor::fromRgb(input.rgb);
            fillBandRows(*raster, shape, input.halfWidth, colour.rgb(), place, cover);
        }
        return;
    }
    // Centre lines alone need no edges: bands without width skip them.
    std::vector<DetectorBandInput> centres;
    if (look.shape == BandShape::Centre) {
        centres = inputs;
        for (DetectorBandInput& input : centres)
            input.halfWidth = 0.0;
    }
    const std::vector<DetectorBandShape> shapes =
        projection.bands(look.shape == BandShape::Centre ? centres : inputs, tolerance);
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
