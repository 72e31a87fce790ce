// TCrystalEBSPpanel: what lies under the pointer on the Kikuchi map (zone axis and band),
// the report to the owner, and the highlights and labels the owner's switches ask for.
#include "CrystalEBSPpanel.h"

#include "band_raster.h"

#include <cmath>

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kZoneToleranceDeg = 3.0;
constexpr double kZoneToleranceRad = 0.05235987755982989;  // 3 degrees
constexpr double kMinPickIntensity = 15.0;
constexpr int kMaxIndicesLength = 20;
// Axis2Indices writes at most four indices with signs and periods; it asks for 32 bytes.
constexpr int kZoneBufferSize = 32;
// Label anchors lie on the plane's circle no farther than arccos 0.7 from the pointer.
constexpr double kAnchorMinDot = 0.7;
constexpr double kSpherePlace = 0.96;  // the sphere is drawn with radius 0.96 R

const QColor kPlaneColour(255, 0, 0);
const QColor kZoneColour(0, 0, 255);

}  // namespace

QString TCrystalEBSPpanel::IndexText(int n) {
    // Compact index texts run the digits together; a period marks a many-digit index.
    if (n >= -9 && n <= 9) return QString::number(n);
    return QStringLiteral(".") + QString::number(n);
}

bool TCrystalEBSPpanel::PickZone(const TVec3D& v, const QString& maxIndices) {
    const QString oldText = m_zoneText;
    m_zoneText.clear();
    m_zoneDirection = TVec3D{0.0, 0.0, 0.0};
    if (!HoldsUsableCrystalSet()) return false;

    const QByteArray limits = maxIndices.left(kMaxIndicesLength).toLatin1();
    char found[kZoneBufferSize] = {};
    double angle = 0.0;
    Axis2Indices(m_crySet, &v, m_hexCell ? 1 : 0, limits.constData(), found, &angle);
    found[kZoneBufferSize - 1] = '\0';
    // The library never throws: a search without a usable zone leaves zero indices (no
    // candidate within the limits) or a text that does not read back as a direction
    // (many-digit indices).  The owner is told, with an empty zone text.
    TIndices indices{};
    if (!ValidateIndices(1, found, &indices)) return true;
    Str2Vec(m_crySet, 1, found, &m_zoneDirection);

    m_zoneDeviationDeg = angle * 180.0 / kPi;
    if (m_zoneDeviationDeg <= kZoneToleranceDeg &&
        Dot(&m_zoneDirection, &v) >= std::cos(kZoneToleranceRad))
        m_zoneText = QStringLiteral("[") + QString::fromLatin1(found) + QStringLiteral("]");
    return m_zoneText != oldText;
}

bool TCrystalEBSPpanel::PickPlane(const TVec3D& v) {
    // Normals and widths may be stale when no paint has run since the reflectors or kV
    // changed; the bands are redrawn from the refreshed normals on the next paint.
    if (m_matrixStale) UpdateViewMatrix();
    if (m_normalsStale) {
        UpdateNormals();
        if (!m_normalsStale) m_bandsStale = true;
    }
    if (m_braggStale) UpdateBandWidths();

    int best = -1;
    double bestScore = 999.0;
    for (int i = 0; i < m_reflectorCount; ++i) {
        const ebsp::Reflector& r = m_reflectors[i];
        const double intensity = r.intensity;
        if (!(intensity >= kMinPickIntensity)) continue;
        // |cos| to the normal is the sine of the angle from the plane's circle.
        const double c = std::fabs(Dot(&r.normal, &v));
        const double score = c * (1.0 / (intensity + 1.0));
        if (score < bestScore && c <= r.halfWidth) {
            bestScore = score;
            best = i + 1;
        }
    }

    const QString oldText = m_planeText;
    if (best <= 0) {
        const bool changed = m_pickedPlane != -1;
        m_planeText.clear();
        m_pickedPlane = -1;
        return changed;
    }
    bool changed = best != m_pickedPlane;
    m_pickedPlane = best;

    const ebsp::Reflector& r = m_reflectors[best - 1];
    QString text = QStringLiteral("(") + IndexText(r.h) + IndexText(r.k);
    if (m_hexCell) text += IndexText(-r.h - r.k);
    text += IndexText(r.l) + QStringLiteral(")");
    m_planeText = text;
    // The same reflector number with other indices (reloaded reflectors, a changed
    // hexagonal form) would otherwise leave the owner showing the old text.
    changed = changed || m_planeText != oldText;

    // The label goes to the point of the plane's circle, sampled every 10 degrees, that
    // lies farthest from the pointer while still near it; none qualifying keeps the old one.
    TVec3D q;
    Cross(&r.normal, &v, &q, 1);
    double nearest = 1.0;
    for (int j = 0; j < 36; ++j) {
        TVec3D sample;
        ConeVector(&r.normal, &q, &sample, 10.0 * j * kPi / 180.0);
        const double d = Dot(&sample, &v);
        if (d < nearest && d > kAnchorMinDot) {
            nearest = d;
            m_planeLabelAnchor = sample;
        }
    }
    return changed;
}

void TCrystalEBSPpanel::PointerPick(int X, int Y) {
    CheckSize();
    if (m_sizeStale) UpdateViewSize();
    if (m_matrixStale) UpdateViewMatrix();
    bool inside = false;
    const TVec3D w = ScreenToSphere(X, Y, inside);
    MatMul3x1(&m_viewMatrix, &w, &m_cs2dir);

    bool zoneChanged = false;
    bool planeChanged = false;
    if (inside) {
        zoneChanged = PickZone(m_cs2dir, m_mouseRotMaxIndices);
        planeChanged = PickPlane(m_cs2dir);
    } else {
        // Off the disc there is nothing to read; every such move reports, so the owner
        // can clear what it shows.
        m_zoneText.clear();
        m_planeText.clear();
        m_pickedPlane = -1;
        zoneChanged = true;
    }

    if ((zoneChanged || planeChanged) && !m_repaintLocked) {
        // Copies: the handler may change the control (a new crystal set clears the texts).
        const TVec3D direction = m_cs2dir;
        const QString planeText = m_planeText;
        const QString zoneText = m_zoneText;
        OnMouseMoveCrystalDir(this, direction, m_pickedPlane, planeText, zoneText, m_highlightPlane,
                              m_highlightZone, m_labelPlane, m_labelZone);
        Repaint();
    }
    m_lastReportedZoneText = m_zoneText;
}

void TCrystalEBSPpanel::DrawHighlightsAndLabels(QPainter& painter) {
    const double scale = kSpherePlace * m_view.R;
    if (m_pickedPlane >= 1 && m_pickedPlane <= m_reflectorCount && m_highlightPlane) {
        const ebsp::Reflector& r = m_reflectors[m_pickedPlane - 1];
        painter.setPen(QPen(kPlaneColour, 1));
        if (r.visible != 0) {
            // Drawn like the band lines themselves, so the red covers exactly their pixels.
            const QRgb red = kPlaneColour.rgb();
            switch (m_kikuchiBandStyle) {
                case kbSolid:
                case kbSolidBlack:
                case kbEdge:
                case kbEdgeBlack:
                    ebsp::drawBandPolyline(m_image, r.edge1, ebsp::kBandTracePoints, false, red);
                    ebsp::drawBandPolyline(m_image, r.edge2, ebsp::kBandTracePoints, false, red);
                    break;
                case kbCentre:
                case kbCentreBlack:
                    ebsp::drawBandPolyline(m_image, r.centre, ebsp::kBandTracePoints, false, red);
                    break;
            }
        }
        if (m_labelPlane) {
            TVec3D a;
            MatMul3x1(&m_inverseViewMatrix, &m_planeLabelAnchor, &a);
            // Behind the sphere the opposite point, on the same circle, is the visible one.
            const double s = a.z >= 0.0 ? 1.0 : -1.0;
            DrawLabel(painter, ebsp::truncatePixel(m_view.cx + s * scale * a.x),
                      ebsp::truncatePixel(m_view.cy - s * scale * a.y), kPlaneColour, m_planeText);
        }
    }

    if (!m_zoneText.isEmpty() && OnMouseMoveCrystalDir) {
        TVec3D z;
        MatMul3x1(&m_inverseViewMatrix, &m_zoneDirection, &z);
        const int x = ebsp::truncatePixel(m_view.cx + scale * z.x);
        const int y = ebsp::truncatePixel(m_view.cy - scale * z.y);
        if (m_highlightZone && !m_labelZone) {
            // Filled with the brush the bands left.
            painter.setPen(QPen(kZoneColour, 1));
            painter.drawEllipse(QRect(x - 3, y - 3, 6, 6));
        }
        if (m_labelZone) DrawLabel(painter, x, y, kZoneColour, m_zoneText);
    }
}

void TCrystalEBSPpanel::DrawLabel(QPainter& painter, int x, int y, const QColor& colour,
                                  const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int hw = metrics.horizontalAdvance(text) / 2;
    const int hh = metrics.height() / 2;
    // Right and bottom edges are exclusive: the last pixel is one before them.
    const QRect box(QPoint(x - hw - 3, y - hh - 2), QPoint(x + hw + 4 - 1, y + hh + 4 - 1));
    const QRect shadow(QPoint(x - hw - 1, y - hh), QPoint(x + hw + 6 - 1, y + hh + 6 - 1));

    painter.fillRect(shadow, palette().color(QPalette::Shadow));
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(QPoint(x - hw, y - hh + metrics.ascent()), text);
    painter.setBrush(palette().color(QPalette::Base));
}
