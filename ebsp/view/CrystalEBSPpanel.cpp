// TCrystalEBSPpanel: properties, stale flags, events, mouse handling and the order of
// painting.  What the view computes lives in the Qt-free files beside this one, what it
// draws in view_painters.
#include "CrystalEBSPpanel.h"

#include "designer_preview.h"
#include "view_constants.h"
#include "view_painters.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
ebsp::BandShape bandShape(TKikuchiBandStyle style) {
    switch (style) {
        case kbEdge:
        case kbEdgeBlack:
            return ebsp::BandShape::Edges;
        case kbCentre:
        case kbCentreBlack:
            return ebsp::BandShape::Centre;
        default:
            return ebsp::BandShape::Solid;
    }
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

TCrystalEBSPpanel::TCrystalEBSPpanel(QWidget* parent, TCreation creation)
    : TCrystalEBSPpanel(parent) {
    if (creation != TCreation::Designer) return;
    m_designerMode = true;
    ShowDesignerPreview();
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
    m_lastReportedZoneText = "??";
    m_pick.planeText.clear();
    m_pick.pickedPlane = -1;
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

void TCrystalEBSPpanel::ShowDesignerPreview() {
    // Without readable setup data the designer shows the empty panel, as the program
    // does before it attaches a crystal.
    if (!ebsp::buildPreviewCrystal(m_ownCrySet)) return;
    SetOrientation(ebsp::kPreviewOrientation);
    SetCrystalSet(&m_ownCrySet, false);
    BuildCell();
    ProjectCell();
    ebsp::PreviewReflector list[ebsp::kMaxReflectors];
    LoadReflectorList(list, ebsp::buildPreviewReflectorList(m_ownCrySet, list));
    UpdateBandGreys();
    UpdateBandWidths();
    UpdateNormals();
    BuildBands();
}

void TCrystalEBSPpanel::LoadReflectorList(const ebsp::PreviewReflector* list, int count) {
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
    m_projection = ebsp::OrthographicProjection::forSize(width(), height());
    m_sizeStale = false;
    m_imageStale = m_bandsStale = m_normalsStale = true;
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
    ebsp::buildBands(m_reflectors, m_reflectorCount, m_inverseViewMatrix, m_projection);
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
    PaintScene(painter, m_image.size(), nullptr);
}

void TCrystalEBSPpanel::drawPicture(QPainter& painter, QSize size) {
    if (size.width() <= 0 || size.height() <= 0) return;
    CheckSize();
    if (m_sizeStale) UpdateViewSize();
    const ebsp::OrthographicProjection projection =
        ebsp::OrthographicProjection::forSize(size.width(), size.height());
    painter.save();
    PaintScene(painter, size, &projection);
    painter.restore();
}

void TCrystalEBSPpanel::PaintScene(QPainter& painter, QSize size,
                                   const ebsp::OrthographicProjection* other) {
    const QRect area(QPoint(0, 0), size);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, m_backgroundColour);
    painter.setPen(QPen(m_lineColour, 1));
    painter.setBrush(m_backgroundColour);
    if (m_showCopyright) {
        ebsp::paintNotice(painter, size.height(),
                          palette().color(QPalette::Disabled, QPalette::Text),
                          QString::fromLatin1(kNotice));
        painter.setPen(QPen(m_lineColour, 1));
    }
    if (m_showCrystal) DrawCell(painter, other);
    if (m_showEBSP) DrawSphereMap(painter, other);
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

void TCrystalEBSPpanel::DrawCell(QPainter& painter, const ebsp::OrthographicProjection* other) {
    if (m_sizeStale) UpdateViewSize();
    if (m_geometryStale) BuildCell();
    if (m_matrixStale) UpdateViewMatrix();
    if (m_geometryStale || m_projectionStale || m_matrixStale) ProjectCell();
    if (!HoldsUsableCrystalSet() || !m_showCrystal) return;
    if (m_geometryStale || m_projectionStale) return;

    ebsp::CellLook look;
    look.line = m_lineColour;
    look.background = m_backgroundColour;
    look.solid = !(m_showAsWireFrame || (m_dragging && m_mouseRotWireFrame));
    look.hiddenLines = m_showHiddenLines;
    look.axes = m_showCrystalAxes;
    ebsp::paintCell(painter, m_cell, other != nullptr ? *other : m_projection, look);
}

void TCrystalEBSPpanel::DrawSphereMap(QPainter& painter,
                                      const ebsp::OrthographicProjection* other) {
    if (m_sizeStale) UpdateViewSize();
    if (m_bandsStale) BuildBands();
    if (m_bandsStale || m_sizeStale || m_reflectorCount <= 0 || m_crySet == nullptr || !m_showEBSP)
        return;
    // Another size: the same reflectors with their bands traced for that projection.
    const ebsp::OrthographicProjection& projection = other != nullptr ? *other : m_projection;
    std::vector<ebsp::Reflector> traced;
    const ebsp::Reflector* bands = m_reflectors;
    if (other != nullptr) {
        traced.assign(m_reflectors, m_reflectors + m_reflectorCount);
        ebsp::buildBands(traced.data(), m_reflectorCount, m_inverseViewMatrix, projection);
        bands = traced.data();
    }

    ebsp::BandLook look;
    look.shape = bandShape(m_kikuchiBandStyle);
    look.uniform = m_kikuchiBandStyle == kbSolidBlack || m_kikuchiBandStyle == kbEdgeBlack ||
                   m_kikuchiBandStyle == kbCentreBlack;
    look.uniformColour = m_kikuchiBandStyle == kbSolidBlack ? m_faceColour : m_lineColour;
    ebsp::paintBands(painter, bands, m_reflectorCount, look);

    // The pointer's highlights and labels on top.
    const ebsp::PickOverlay overlay =
        ebsp::pickOverlay(m_pick, bands, m_reflectorCount, m_switches, bool(OnMouseMoveCrystalDir),
                          m_inverseViewMatrix, projection);
    const ebsp::LabelLook labels{palette().color(QPalette::Shadow),
                                 palette().color(QPalette::Base)};
    ebsp::paintPickOverlay(painter, overlay, look.shape, QString::fromStdString(m_pick.planeText),
                           QString::fromLatin1(m_pick.zoneText.c_str()), labels);
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
    if (!m_projection.hasArea()) return;
    TVec3D turned;
    if (!ebsp::dragRotate(m_projection, X, Y, m_dragStartX, m_dragStartY, m_dragStartEuler, turned))
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

// ---- Pointer pick ---------------------------------------------------------------------------

bool TCrystalEBSPpanel::PickZone(const TVec3D& v) {
    const std::string limits =
        m_mouseRotMaxIndices.left(ebsp::kMaxIndicesLength).toLatin1().toStdString();
    return ebsp::pickZone(m_pick, m_crySet, m_hexCell, v, limits);
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
    return ebsp::pickPlane(m_pick, m_reflectors, m_reflectorCount, m_hexCell, v);
}

void TCrystalEBSPpanel::PointerPick(int X, int Y) {
    CheckSize();
    if (m_sizeStale) UpdateViewSize();
    if (m_matrixStale) UpdateViewMatrix();
    bool inside = false;
    const TVec3D w = m_projection.sphereDirection(X, Y, inside);
    MatMul3x1(&m_viewMatrix, &w, &m_pick.pointerDirection);

    bool changed = true;  // off the disc every move reports, so the owner can clear
    if (inside) {
        const bool zoneChanged = PickZone(m_pick.pointerDirection);
        const bool planeChanged = PickPlane(m_pick.pointerDirection);
        changed = zoneChanged || planeChanged;
    } else {
        ebsp::clearPick(m_pick);
    }

    if (changed && !m_repaintLocked) {
        // Copies: the handler may change the control (a new crystal set clears the texts).
        const TVec3D direction = m_pick.pointerDirection;
        const QString planeText = QString::fromStdString(m_pick.planeText);
        const QString zoneText = QString::fromLatin1(m_pick.zoneText.c_str());
        OnMouseMoveCrystalDir(this, direction, m_pick.pickedPlane, planeText, zoneText,
                              m_switches.highlightPlane, m_switches.highlightZone,
                              m_switches.labelPlane, m_switches.labelZone);
        Repaint();
    }
    m_lastReportedZoneText = m_pick.zoneText;
}
