// Painters of the cell, the bands and the pointer overlay.
#include "view_painters.h"

#include <QFontMetrics>
#include <QImage>
#include <QPolygon>

#include "band_raster.h"

namespace ebsp {
namespace {

QColor toQColor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

QPoint toQPoint(IntPoint p) {
    return QPoint(p.x, p.y);
}

const QPoint* asQPoints(const IntPoint* points) {
    // IntPoint and QPoint are both two ints, x then y, so the stored lists draw directly.
    static_assert(sizeof(IntPoint) == sizeof(QPoint));
    return reinterpret_cast<const QPoint*>(points);
}

// The painter's own image when it draws on a 32-bit one, for the direct band lines.
QImage* rasterTarget(QPainter& painter) {
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image) return nullptr;
    QImage* image = static_cast<QImage*>(device);
    return image->depth() == 32 ? image : nullptr;
}

void polyline(QPainter& painter, QImage* raster, const IntPoint* points, int count, bool closed,
              QRgb colour) {
    if (raster != nullptr) {
        drawBandPolyline(*raster, points, count, closed, colour);
        return;
    }
    painter.save();
    painter.setPen(QPen(QColor::fromRgb(colour), 1));
    painter.setBrush(Qt::NoBrush);
    // Always a line, closed by repeating the first point: a vector device then writes an
    // outline as a line and keeps paths for the filled bands.
    QPolygon line(count + (closed && count > 0 ? 1 : 0));
    for (int i = 0; i < count; ++i)
        line[i] = toQPoint(points[i]);
    if (closed && count > 0) line[count] = line[0];
    painter.drawPolyline(line);
    painter.restore();
}

const QColor kPlaneColour(255, 0, 0);
const QColor kZoneColour(0, 0, 255);

}  // namespace

void paintCell(QPainter& painter, const UnitCell& cell, const OrthographicProjection& projection,
               const CellLook& look) {
    auto drawAxes = [&](bool front) {
        for (int i = 0; i < cell.axisCount; ++i) {
            const CellAxis& axis = cell.axes[i];
            if ((axis.viewW.z >= 0.0) != front) continue;
            painter.setPen(QPen(toQColor(axis.colour), 1));
            painter.drawLine(toQPoint(projection.cellPixel(axis.viewP)),
                             toQPoint(projection.cellPixel(axis.viewD)));
        }
    };
    if (look.axes) drawAxes(false);  // behind the cell: the front faces cover them

    const bool hidden = !look.solid && look.hiddenLines;
    QPoint points[kMaxCellVertices + 1];
    for (int pass = hidden ? 1 : 0; pass >= 0; --pass) {
        painter.setPen(QPen(look.line, 1, pass == 1 ? Qt::DotLine : Qt::SolidLine));
        for (int i = 0; i < cell.faceCount; ++i) {
            const CellFace& face = cell.faces[i];
            const bool facing = face.viewNormal.z >= 0.0;
            if (facing != (pass == 0)) continue;
            for (int j = 0; j < face.vertexCount; ++j)
                points[j] = toQPoint(projection.cellPixel(cell.viewVertices[face.vertices[j]]));
            points[face.vertexCount] = points[0];
            if (look.solid) {
                painter.setBrush(toQColor(face.colour));
                painter.drawPolygon(points, face.vertexCount + 1, Qt::OddEvenFill);
            } else {
                painter.setBrush(look.background);
                painter.drawPolyline(points, face.vertexCount + 1);
            }
        }
    }

    if (look.axes) drawAxes(true);
    painter.setPen(QPen(look.line, 1));
}

void paintBandLines(QPainter& painter, const Reflector& band, BandShape shape, QRgb colour) {
    QImage* raster = rasterTarget(painter);
    if (shape == BandShape::Centre) {
        polyline(painter, raster, band.centre, kBandTracePoints, false, colour);
        return;
    }
    polyline(painter, raster, band.edge1, kBandTracePoints, false, colour);
    polyline(painter, raster, band.edge2, kBandTracePoints, false, colour);
}

QColor paintBands(QPainter& painter, const Reflector* reflectors, int count, const BandLook& look) {
    QImage* raster = rasterTarget(painter);
    // The fills go through the painter; the one-pixel band lines are written straight
    // into the image, which keeps a frame of 200 bands within a few milliseconds.  The
    // lines treat an integer point as the pixel itself; the half-pixel shift makes the
    // fill sample at the same place, so that no gap opens between fill and outline.
    painter.save();
    painter.translate(0.5, 0.5);
    QColor colour;
    for (int i = count - 1; i >= 0; --i) {  // the first (strongest) end on top
        const Reflector& r = reflectors[i];
        colour = look.uniform ? look.uniformColour : toQColor(r.colour);
        if (r.visible == 0) continue;
        const QRgb rgb = colour.rgb();
        switch (look.shape) {
            case BandShape::Solid:
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                painter.drawPolygon(asQPoints(r.outline), 2 * kBandTracePoints, Qt::OddEvenFill);
                polyline(painter, raster, r.outline, 2 * kBandTracePoints, true, rgb);
                break;
            case BandShape::Edges:
                polyline(painter, raster, r.edge1, kBandTracePoints, false, rgb);
                polyline(painter, raster, r.edge2, kBandTracePoints, false, rgb);
                break;
            case BandShape::Centre:
                polyline(painter, raster, r.centre, kBandTracePoints, false, rgb);
                break;
        }
    }
    painter.restore();
    // Pen and brush are left in the colour of the last band drawn (reflector 1), as the
    // highlights expect them.
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    return colour;
}

void paintLabel(QPainter& painter, IntPoint at, const QColor& colour, const QString& text,
                const LabelLook& look) {
    const int x = at.x, y = at.y;
    const QFontMetrics metrics = painter.fontMetrics();
    const int hw = metrics.horizontalAdvance(text) / 2;
    const int hh = metrics.height() / 2;
    // Right and bottom edges are exclusive: the last pixel is one before them.
    const QRect box(QPoint(x - hw - 3, y - hh - 2), QPoint(x + hw + 4 - 1, y + hh + 4 - 1));
    const QRect shadow(QPoint(x - hw - 1, y - hh), QPoint(x + hw + 6 - 1, y + hh + 6 - 1));

    painter.fillRect(shadow, look.shadow);
    painter.fillRect(box, look.base);
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(QPoint(x - hw, y - hh + metrics.ascent()), text);
    painter.setBrush(look.base);
}

void paintNotice(QPainter& painter, int height, const QColor& colour, const QString& text) {
    QFont font = painter.font();
    font.setPointSize(8);
    painter.setFont(font);
    painter.setPen(colour);
    const int top = height - 15;
    painter.drawText(QPoint(2, top + painter.fontMetrics().ascent()), text);
}

void paintPickOverlay(QPainter& painter, const PickOverlay& overlay, BandShape shape,
                      const QString& planeText, const QString& zoneText, const LabelLook& look) {
    // Drawn like the band lines themselves, so the red covers exactly their pixels.
    if (overlay.planeLines != nullptr) {
        painter.setPen(QPen(kPlaneColour, 1));
        paintBandLines(painter, *overlay.planeLines,
                       shape == BandShape::Centre ? shape : BandShape::Edges, kPlaneColour.rgb());
    }
    if (overlay.planeLabel)
        paintLabel(painter, overlay.planeLabelAt, kPlaneColour, planeText, look);
    if (overlay.zoneMark) {
        // Filled with the brush the bands (or the plane label) left.
        painter.setPen(QPen(kZoneColour, 1));
        const IntPoint p = overlay.zoneAt;
        painter.drawEllipse(QRect(p.x - 3, p.y - 3, 6, 6));
    }
    if (overlay.zoneLabel) paintLabel(painter, overlay.zoneAt, kZoneColour, zoneText, look);
}

}  // namespace ebsp
