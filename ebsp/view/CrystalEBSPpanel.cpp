// TCrystalEBSPpanel: properties, stale flags, painting and mouse rotation of the view.
#include "CrystalEBSPpanel.h"

#include "band_raster.h"

#include <algorithm>
#include <cstring>

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

namespace {

ebsp::Rgb toRgb(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}
QColor toQColor(ebsp::Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

QPoint cellPixel(const ebsp::ViewSize& view, const TVec3D& p) {
    return QPoint(ebsp::truncatePixel(view.cx + view.R * p.x),
                  ebsp::truncatePixel(view.cy - view.R * p.y));
}

const QPoint* asQPoints(const ebsp::IntPoint* points) {
    // IntPoint and QPoint are both two ints, x then y, so the stored lists draw directly.
    static_assert(sizeof(ebsp::IntPoint) == sizeof(QPoint));
    return reinterpret_cast<const QPoint*>(points);
}

const char kNotice[] = "TCrystalEBSPpanel - crystal and spherical Kikuchi map view";

}  // namespace

TCrystalEBSPpanel::TCrystalEBSPpanel(QWidget* parent) : QWidget(parent) {
    // The whole client area comes from the off-screen image: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button pressed feed the pointer read-out
    UpdateViewMatrix();
    UpdateViewSize();
    m_geometryStale = m_projectionStale = m_matrixStale = m_sizeStale = m_imageStale = true;
    m_normalsStale = m_bandsStale = m_braggStale = m_greyStale = false;
    m_hexCell = true;
    m_knownSize = size();
}

TCrystalEBSPpanel::~TCrystalEBSPpanel() = default;

// ---- Properties -----------------------------------------------------------------------

void TCrystalEBSPpanel::SetRepaintLocked(bool value) {
    m_repaintLocked = value;
    if (!value) Repaint();
}

void TCrystalEBSPpanel::SetShowCrystal(bool value) {
    m_showCrystal = value;
    Repaint();
}

void TCrystalEBSPpanel::SetShowCrystalAxes(bool value) {
    m_showCrystalAxes = value;
    Repaint();
}

void TCrystalEBSPpanel::SetShowEBSP(bool value) {
    m_showEBSP = value;
    Repaint();
}

void TCrystalEBSPpanel::SetShowHexUnitCell(bool value) {
    m_showHexUnitCell = value;
    m_geometryStale = m_projectionStale = true;
    if (HoldsUsableCrystalSet()) m_hexCell = ebsp::decideHexCell(*m_crySet, m_showHexUnitCell);
    Repaint();
}

void TCrystalEBSPpanel::SetBackgroundColour(const QColor& value) {
    m_backgroundColour = value;
    Repaint();
}

void TCrystalEBSPpanel::SetShowAsWireFrame(bool value) {
    m_showAsWireFrame = value;
    Repaint();
}

void TCrystalEBSPpanel::SetShowHiddenLines(bool value) {
    m_showHiddenLines = value;
    Repaint();
}

void TCrystalEBSPpanel::SetReflectorCount(int value) {
    if (!HoldsUsableCrystalSet()) return;
    if (m_designerMode) {
        // Stored only; kept within the table so that no loop runs past it.
        m_reflectorCount = std::clamp(value, 0, ebsp::kMaxReflectors);
        return;
    }
    m_reflectorCount = 0;
    if (value <= 0 || !OnGetReflector) return;
    const int n = std::min(value, ebsp::kMaxReflectors);
    for (int i = 0; i < n; ++i) {
        ebsp::Reflector& r = m_reflectors[i];
        OnGetReflector(this, i, r.h, r.k, r.l, r.d, r.intensity);
    }
    m_reflectorCount = n;
    m_normalsStale = m_braggStale = m_greyStale = m_bandsStale = true;
    Repaint();
}

void TCrystalEBSPpanel::SetkV(double value) {
    m_kV = value;
    m_normalsStale = m_braggStale = m_greyStale = m_bandsStale = true;
    Repaint();
}

void TCrystalEBSPpanel::SetKikuchiBandStyle(TKikuchiBandStyle value) {
    m_kikuchiBandStyle = value;
    Repaint();
}

void TCrystalEBSPpanel::SetKikuchiBandGreyMin(int value) {
    m_kikuchiBandGreyMin = std::clamp(value, 0, 255);
    UpdateBandGreys();
    Repaint();
}

void TCrystalEBSPpanel::SetKikuchiBandGreyMax(int value) {
    m_kikuchiBandGreyMax = std::clamp(value, 0, 255);
    UpdateBandGreys();
    Repaint();
}

void TCrystalEBSPpanel::SetLineColour(const QColor& value) {
    m_lineColour = value;
    Repaint();
}

void TCrystalEBSPpanel::SetFaceColour(const QColor& value) {
    m_faceColour = value;
    ProjectCell();
    Repaint();
}

QVariant TCrystalEBSPpanel::StoredDefault(const char* propertyName) {
    struct Entry {
        const char* name;
        QVariant value;
    };
    static const Entry kDefaults[] = {
        {"ShowCrystal", true},
        {"ShowCrystalAxes", true},
        {"ShowEBSP", false},
        {"ShowHexUnitCell", true},
        {"BackgroundColour", QColor(255, 255, 255)},
        {"ShowAsWireFrame", false},
        {"ShowHiddenLines", false},
        {"MouseRotAllow", true},
        {"MouseRotWireFrame", true},
        {"DoubleClickCycling", true},
        {"ReflectorCount", 0},
        {"KikuchiBandGreyMin", 30},
        {"KikuchiBandGreyMax", 200},
    };
    if (propertyName == nullptr) return {};
    for (const Entry& entry : kDefaults)
        if (std::strcmp(entry.name, propertyName) == 0) return entry.value;
    return {};
}

// ---- Operations ---------------------------------------------------------------------------

void TCrystalEBSPpanel::SetCrystalSet(const TCrySet* crySet, bool skipIfSame) {
    if (crySet == m_crySet && skipIfSame) return;
    m_crySet = crySet;
    m_geometryStale = m_projectionStale = true;
    m_reflectorCount = 0;
    m_lastReportedZoneText = QStringLiteral("??");
    m_planeText.clear();
    m_pickedPlane = -1;
    if (HoldsUsableCrystalSet()) m_hexCell = ebsp::decideHexCell(*m_crySet, m_showHexUnitCell);
    Repaint();
}

void TCrystalEBSPpanel::SetOrientation(const TVec3D& euler) {
    if (m_dragLock) return;
    m_euler = euler;
    m_euler1deg = euler.x * ebsp::kDegreesPerRadian;
    m_euler2deg = euler.y * ebsp::kDegreesPerRadian;
    m_euler3deg = euler.z * ebsp::kDegreesPerRadian;
    m_matrixStale = m_projectionStale = m_bandsStale = m_normalsStale = true;
    Repaint();
}

void TCrystalEBSPpanel::CopyToClipboard() {
    if (m_image.isNull()) return;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(m_image.copy());
}

void TCrystalEBSPpanel::Repaint() {
    if (m_repaintLocked) return;
    ++m_repaintCount;
    PaintImage();
    if (isVisible()) {
        m_imageFresh = true;
        repaint();
        m_imageFresh = false;
    }
}

void TCrystalEBSPpanel::LoadReflectorList(const TPreviewReflector* list, int count) {
    count = std::clamp(count, 0, ebsp::kMaxReflectors);
    if (list == nullptr) count = 0;
    for (int i = 0; i < count; ++i) {
        ebsp::Reflector& r = m_reflectors[i];
        r.h = list[i].h;
        r.k = list[i].k;
        r.l = list[i].l;
        r.d = list[i].spacing;
        r.intensity = list[i].intensity;
    }
    m_reflectorCount = count;
    m_braggStale = m_greyStale = m_normalsStale = m_bandsStale = true;
    Repaint();
}

// ---- Cache steps ----------------------------------------------------------------------------

bool TCrystalEBSPpanel::HoldsUsableCrystalSet() const {
    return m_crySet != nullptr && m_crySet->LaueGroup > 0;
}

void TCrystalEBSPpanel::UpdateViewMatrix() {
    if (!HoldsUsableCrystalSet()) return;
    Euler2Matrix(&m_euler, &m_viewMatrix);
    InverseMatrix(&m_viewMatrix, &m_inverseViewMatrix);
    m_matrixStale = false;
}

void TCrystalEBSPpanel::UpdateViewSize() {
    m_view = ebsp::viewSizeFor(width(), height());
    m_sizeStale = false;
    m_imageStale = m_bandsStale = m_normalsStale = true;
}

TVec3D TCrystalEBSPpanel::ScreenToSphere(double X, double Y, bool& inside) const {
    if (!(m_view.R > 0.0)) {
        inside = false;
        return TVec3D{0.0, 0.0, 1.0};
    }
    return ebsp::screenToSphere(m_view, X, Y, inside);
}

void TCrystalEBSPpanel::BuildCell() {
    if (!HoldsUsableCrystalSet()) return;
    m_hexCell = ebsp::decideHexCell(*m_crySet, m_showHexUnitCell);
    ebsp::buildCell(m_cell, *m_crySet, m_hexCell);
    m_geometryStale = false;
}

void TCrystalEBSPpanel::ProjectCell() {
    if (!HoldsUsableCrystalSet()) return;
    // Projecting a cell that is about to be rebuilt would clear the flag for the old
    // geometry and leave the new one unprojected.
    if (m_geometryStale) return;
    if (m_matrixStale) UpdateViewMatrix();
    ebsp::projectCell(m_cell, m_inverseViewMatrix, toRgb(m_faceColour));
    m_projectionStale = false;
}

ebsp::Rgb TCrystalEBSPpanel::ShadeFace(const TVec3D& viewNormal) const {
    return ebsp::shadeFace(viewNormal, toRgb(m_faceColour));
}

void TCrystalEBSPpanel::UpdateNormals() {
    if (m_reflectorCount <= 0 || !HoldsUsableCrystalSet() || m_matrixStale) return;
    ebsp::updateNormals(m_reflectors, m_reflectorCount, *m_crySet);
    m_normalsStale = false;
    m_braggStale = m_greyStale = true;
}

void TCrystalEBSPpanel::UpdateBandWidths() {
    if (!HoldsUsableCrystalSet() || m_normalsStale) return;
    ebsp::updateBandWidths(m_reflectors, m_reflectorCount, m_kV);
    m_braggStale = false;
}

void TCrystalEBSPpanel::UpdateBandGreys() {
    if (!HoldsUsableCrystalSet() || m_normalsStale) return;
    ebsp::updateBandGreys(m_reflectors, m_reflectorCount, m_kikuchiBandGreyMin,
                          m_kikuchiBandGreyMax);
    m_greyStale = false;
}

void TCrystalEBSPpanel::BuildBands() {
    if (m_matrixStale) UpdateViewMatrix();
    if (m_normalsStale) UpdateNormals();
    if (m_braggStale) UpdateBandWidths();
    if (m_greyStale) UpdateBandGreys();
    if (m_braggStale || m_greyStale || m_normalsStale) return;
    if (!HoldsUsableCrystalSet() || m_matrixStale) return;
    ebsp::buildBands(m_reflectors, m_reflectorCount, m_inverseViewMatrix, m_view);
    m_bandsStale = false;
}

// ---- Painting -------------------------------------------------------------------------------

void TCrystalEBSPpanel::CheckSize() {
    // A hidden widget gets its resize event only when shown; its size is already new.
    if (size() == m_knownSize) return;
    m_knownSize = size();
    m_imageStale = m_sizeStale = true;
}

void TCrystalEBSPpanel::RecreateImage() {
    m_image = QImage(std::max(width(), 0), std::max(height(), 0), QImage::Format_RGB32);
    if (!m_image.isNull()) m_image.fill(m_backgroundColour);
    m_imageStale = false;
}

void TCrystalEBSPpanel::PaintImage() {
    CheckSize();
    if (m_imageStale) RecreateImage();
    if (m_image.isNull()) return;  // no width or height: nothing to draw on
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(m_image.rect(), m_backgroundColour);
    painter.setPen(QPen(m_lineColour, 1));
    painter.setBrush(m_backgroundColour);
    if (m_showCopyright) {
        QFont font = painter.font();
        font.setPointSize(8);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        const int top = m_image.height() - 15;
        painter.drawText(QPoint(2, top + painter.fontMetrics().ascent()),
                         QString::fromLatin1(kNotice));
        painter.setPen(QPen(m_lineColour, 1));
    }
    if (m_showCrystal) DrawCell(painter);
    if (m_showEBSP) DrawSphereMap(painter);
}

void TCrystalEBSPpanel::paintEvent(QPaintEvent* event) {
    // Paints the platform asks for draw the current state; Repaint() drew it just now.
    if (!m_imageFresh) PaintImage();
    QPainter painter(this);
    if (!m_image.isNull()) painter.drawImage(event->rect().topLeft(), m_image, event->rect());
}

void TCrystalEBSPpanel::resizeEvent(QResizeEvent* event) {
    m_knownSize = size();
    m_imageStale = m_sizeStale = true;
    Repaint();
    if (OnResize) OnResize(this);
    QWidget::resizeEvent(event);
}

void TCrystalEBSPpanel::DrawCell(QPainter& painter) {
    if (m_sizeStale) UpdateViewSize();
    if (m_geometryStale) BuildCell();
    if (m_matrixStale) UpdateViewMatrix();
    if (m_geometryStale || m_projectionStale || m_matrixStale) ProjectCell();
    if (!HoldsUsableCrystalSet() || !m_showCrystal) return;
    if (m_geometryStale || m_projectionStale) return;

    const bool solid = !(m_showAsWireFrame || (m_dragging && m_mouseRotWireFrame));
    const bool hidden = !solid && m_showHiddenLines;

    auto drawAxes = [&](bool front) {
        for (int i = 0; i < m_cell.axisCount; ++i) {
            const ebsp::CellAxis& axis = m_cell.axes[i];
            if ((axis.viewW.z >= 0.0) != front) continue;
            painter.setPen(QPen(toQColor(axis.colour), 1));
            painter.drawLine(cellPixel(m_view, axis.viewP), cellPixel(m_view, axis.viewD));
        }
    };
    if (m_showCrystalAxes) drawAxes(false);  // behind the cell: the front faces cover them

    QPoint points[ebsp::kMaxCellVertices + 1];
    for (int pass = hidden ? 1 : 0; pass >= 0; --pass) {
        painter.setPen(QPen(m_lineColour, 1, pass == 1 ? Qt::DotLine : Qt::SolidLine));
        for (int i = 0; i < m_cell.faceCount; ++i) {
            const ebsp::CellFace& face = m_cell.faces[i];
            const bool facing = face.viewNormal.z >= 0.0;
            if (facing != (pass == 0)) continue;
            for (int j = 0; j < face.vertexCount; ++j)
                points[j] = cellPixel(m_view, m_cell.viewVertices[face.vertices[j]]);
            points[face.vertexCount] = points[0];
            if (solid) {
                painter.setBrush(toQColor(face.colour));
                painter.drawPolygon(points, face.vertexCount + 1, Qt::OddEvenFill);
            } else {
                painter.setBrush(m_backgroundColour);
                painter.drawPolyline(points, face.vertexCount + 1);
            }
        }
    }

    if (m_showCrystalAxes) drawAxes(true);
    painter.setPen(QPen(m_lineColour, 1));
}

void TCrystalEBSPpanel::DrawSphereMap(QPainter& painter) {
    if (m_sizeStale) UpdateViewSize();
    if (m_bandsStale) BuildBands();
    if (m_bandsStale || m_sizeStale || m_reflectorCount <= 0 || m_crySet == nullptr || !m_showEBSP)
        return;

    // The fills go through the painter; the one-pixel band lines are written straight
    // into the image, which keeps a frame of 200 bands within a few milliseconds.  The
    // lines treat an integer point as the pixel itself; the half-pixel shift makes the
    // fill sample at the same place, so that no gap opens between fill and outline.
    painter.save();
    painter.translate(0.5, 0.5);
    QColor lastColour;
    for (int i = m_reflectorCount - 1; i >= 0; --i) {  // the first (strongest) end on top
        const ebsp::Reflector& r = m_reflectors[i];
        QColor& colour = lastColour;
        switch (m_kikuchiBandStyle) {
            case kbSolidBlack:
                colour = m_faceColour;
                break;
            case kbEdgeBlack:
            case kbCentreBlack:
                colour = m_lineColour;
                break;
            default:
                colour = toQColor(r.colour);
                break;
        }
        if (r.visible == 0) continue;
        const QRgb rgb = colour.rgb();
        switch (m_kikuchiBandStyle) {
            case kbSolid:
            case kbSolidBlack:
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                painter.drawPolygon(asQPoints(r.outline), 2 * ebsp::kBandTracePoints,
                                    Qt::OddEvenFill);
                ebsp::drawBandPolyline(m_image, r.outline, 2 * ebsp::kBandTracePoints, true, rgb);
                break;
            case kbEdge:
            case kbEdgeBlack:
                ebsp::drawBandPolyline(m_image, r.edge1, ebsp::kBandTracePoints, false, rgb);
                ebsp::drawBandPolyline(m_image, r.edge2, ebsp::kBandTracePoints, false, rgb);
                break;
            case kbCentre:
            case kbCentreBlack:
                ebsp::drawBandPolyline(m_image, r.centre, ebsp::kBandTracePoints, false, rgb);
                break;
        }
    }
    painter.restore();
    // Pen and brush are left in the colour of the last band (reflector 1), as the
    // highlights expect them.
    painter.setPen(QPen(lastColour, 1));
    painter.setBrush(lastColour);
    DrawHighlightsAndLabels(painter);
}

// ---- Mouse ------------------------------------------------------------------------------------

void TCrystalEBSPpanel::mousePressEvent(QMouseEvent* event) {
    if (width() <= 0 || height() <= 0) return;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) m_leftPressed = true;
    if (event->button() == Qt::LeftButton && m_mouseRotAllow) {
        CheckSize();
        if (m_sizeStale) UpdateViewSize();
        m_dragging = true;
        m_dragLock = true;
        m_dragStartX = pos.x();
        m_dragStartY = pos.y();
        m_dragStartEuler = m_euler;
        m_draggedEuler = m_euler;
        return;
    }
    if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TCrystalEBSPpanel::DragRotate(int X, int Y) {
    if (!(m_view.R > 0.0)) return;
    TVec3D turned;
    if (!ebsp::dragRotate(m_view, X, Y, m_dragStartX, m_dragStartY, m_dragStartEuler, turned))
        return;
    m_draggedEuler = turned;
    m_dragLock = false;
    SetOrientation(turned);
    m_dragLock = true;
}

void TCrystalEBSPpanel::mouseMoveEvent(QMouseEvent* event) {
    if (width() <= 0 || height() <= 0) return;
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        DragRotate(pos.x(), pos.y());
        if (OnRotate) OnRotate(this);
        return;
    }
    if (OnMouseMoveCrystalDir && m_crySet != nullptr && m_showEBSP) {
        PointerPick(pos.x(), pos.y());
        return;
    }
    if (OnMouseMove) OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
}

void TCrystalEBSPpanel::mouseReleaseEvent(QMouseEvent* event) {
    if (width() <= 0 || height() <= 0) return;
    const QPoint pos = event->position().toPoint();
    // As the base panel does it: the click comes first, then the mouse-up handling.
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(pos) && OnClick) OnClick(this);
    }
    if (m_dragging) {
        m_dragging = false;
        m_dragLock = false;
        SetOrientation(m_draggedEuler);
        if (OnRotated) OnRotated(this);
        return;
    }
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TCrystalEBSPpanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (width() <= 0 || height() <= 0) return;
    if (event->button() == Qt::LeftButton) {
        if (m_doubleClickCycling)
            DoubleClickCycle();
        else if (OnDblClick)
            OnDblClick(this);
    }
    // The second press of a double click is a press like any other (no click follows).
    mousePressEvent(event);
    m_leftPressed = false;
}

void TCrystalEBSPpanel::DoubleClickCycle() {
    int mode = 0;
    if (m_showCrystal && !m_showEBSP) mode = 1;
    if (!m_showCrystal && m_showEBSP && m_kikuchiBandStyle == kbSolid && m_reflectorCount > 0)
        mode = 2;
    if (m_showCrystal && m_showEBSP && m_reflectorCount > 0 && m_kikuchiBandStyle == kbEdge)
        mode = 3;
    if (m_showCrystal && m_showEBSP && m_reflectorCount > 0 && m_kikuchiBandStyle == kbCentre)
        mode = 4;

    if (mode == 1 && m_reflectorCount > 0) {
        m_showCrystal = false;
        m_showEBSP = true;
        SetKikuchiBandStyle(kbSolid);
    }
    if (mode == 2 || mode == 3) {
        m_showCrystal = true;
        m_showEBSP = true;
        SetKikuchiBandStyle(mode == 2 ? kbEdge : kbCentre);
    }
    if (mode == 4) {
        m_showEBSP = false;
        SetShowCrystal(true);
    }
}
