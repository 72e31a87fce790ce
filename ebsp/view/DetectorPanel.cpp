// TDetectorPanel: state, caches, mouse handling and the order of painting.  The geometry
// lives in detector_geometry and detector_scene, the drawing in detector_painters.
#include "DetectorPanel.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include "orientation_turn.h"
#include "unit_cell.h"

namespace {

// Zones are sought among the intersections of this many strongest reflectors; of the
// best-ranked ones, those on the screen get a marker, at most kShownZones of them.
constexpr int kZoneReflectors = 24;
constexpr int kZoneCandidates = 60;
constexpr int kShownZones = 12;
constexpr double kZoneMargin = 4.0;      // pixels
constexpr double kBandTolerance = 0.25;  // pixels between an edge and its polyline

}  // namespace

TDetectorPanel::TDetectorPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the pointer read-out follows moves without a button
    const TVec3D zero{0.0, 0.0, 0.0};
    Euler2Matrix(&zero, &m_g);
    m_look.bands.shape = ebsp::BandShape::Solid;
    m_look.outside = palette().color(QPalette::Window);
    m_look.background = QColor(255, 255, 255);
    m_look.frame = QColor(0, 0, 0);
    m_look.centreMark = QColor(0, 160, 0);
    m_look.zoneMark = QColor(0, 0, 255);
    m_look.labels =
        ebsp::LabelLook{palette().color(QPalette::Shadow), palette().color(QPalette::Base)};
}

TDetectorPanel::~TDetectorPanel() = default;

void TDetectorPanel::SetCrystalSet(const TCrySet* crySet) {
    m_crySet = crySet;
    m_reflectors.clear();
    m_inputs.clear();
    m_zones.clear();
    ebsp::clearPick(m_pick);
    m_hexCell = Usable() && ebsp::decideHexCell(*m_crySet, true);
    Changed();
}

void TDetectorPanel::SetReflectorCount(int count) {
    m_reflectors.clear();
    if (Usable() && OnGetReflector) {
        m_reflectors.resize(size_t(std::clamp(count, 0, ebsp::kMaxReflectors)));
        for (size_t i = 0; i < m_reflectors.size(); ++i) {
            ebsp::Reflector& r = m_reflectors[i];
            OnGetReflector(int(i), r.h, r.k, r.l, r.d, r.intensity);
        }
    }
    m_normalsStale = m_widthsStale = m_greysStale = true;
    RefreshBands();
    Changed();
}

void TDetectorPanel::SetOrientation(const TVec3D& euler) {
    if (m_dragging) return;
    m_euler = euler;
    Euler2Matrix(&m_euler, &m_g);
    Changed();
}

void TDetectorPanel::SetkV(double kv) {
    m_kV = kv;
    m_widthsStale = true;
    RefreshBands();
    Changed();
}

void TDetectorPanel::SetBandGreys(int greyMin, int greyMax) {
    m_greyMin = std::clamp(greyMin, 0, 255);
    m_greyMax = std::clamp(greyMax, 0, 255);
    m_greysStale = true;
    RefreshBands();
    Changed();
}

void TDetectorPanel::SetBandLook(const ebsp::BandLook& look) {
    m_look.bands = look;
    Changed();
}

bool TDetectorPanel::SetDetector(const TDetector& detector) {
    double pc[3];
    if (DetectorGetPatternCentre(&detector, lxPcBruker, pc) != 0) return false;
    m_detector = detector;
    updateGeometry();
    Changed();
    return true;
}

void TDetectorPanel::SetPattern(const QImage& pattern) {
    m_pattern = pattern;
    Changed();
}

void TDetectorPanel::SetOverlayLook(const ebsp::OverlayLook& look) {
    m_overlay = look;
    Changed();
}

void TDetectorPanel::RefreshBands() {
    if (!Usable() || m_reflectors.empty()) return;
    const int n = int(m_reflectors.size());
    if (m_normalsStale) {
        ebsp::updateNormals(m_reflectors.data(), n, *m_crySet);
        m_zones =
            ebsp::strongZones(m_reflectors.data(), n, *m_crySet, kZoneReflectors, kZoneCandidates);
        m_widthsStale = m_greysStale = true;
        m_normalsStale = false;
    }
    if (m_widthsStale) ebsp::updateBandWidths(m_reflectors.data(), n, m_kV);
    if (m_greysStale) ebsp::updateBandGreys(m_reflectors.data(), n, m_greyMin, m_greyMax);
    if (m_widthsStale || m_greysStale) m_inputs = ebsp::detectorBandInputs(m_reflectors.data(), n);
    m_widthsStale = m_greysStale = false;
}

void TDetectorPanel::Changed() {
    m_imageStale = true;
    update();
    if (OnChanged) OnChanged(this);
}

// ---- Painting -------------------------------------------------------------------------------

ebsp::DetectorFit TDetectorPanel::Fit(QSize size) const {
    return ebsp::fitDetector(m_detector, size.width(), size.height());
}

std::vector<ebsp::DetectorZoneLabel> TDetectorPanel::ZoneLabels(QSize size) const {
    std::vector<ebsp::DetectorZoneLabel> labels;
    const ebsp::DetectorFit fit = Fit(size);
    if (!fit.valid || !Usable() || m_reflectors.empty()) return labels;
    const ebsp::DetectorProjection projection(fit.display, m_g);
    for (const ebsp::ZoneAxisEntry& zone : m_zones) {
        ebsp::DetectorZoneMarker marker = projection.zoneAxis(zone.direction);
        // Markers on the frame itself would hide under it.
        const double w = fit.display.Width, h = fit.display.Height;
        if (marker.status != 0 || marker.at.x < kZoneMargin || marker.at.y < kZoneMargin ||
            marker.at.x > w - kZoneMargin || marker.at.y > h - kZoneMargin)
            continue;
        const std::string text =
            ebsp::zoneAxisText(zone.u, zone.v, zone.w, m_hexCell, marker.flipped);
        labels.push_back({marker.at, QString::fromStdString(text)});
        if (int(labels.size()) >= kShownZones) break;
    }
    return labels;
}

void TDetectorPanel::drawPicture(QPainter& painter, QSize size) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font());
    painter.fillRect(QRect(QPoint(0, 0), size), m_look.outside);
    const ebsp::DetectorFit fit = Fit(size);
    if (fit.valid) {
        const ebsp::DetectorPlacement place{fit.offsetX,
                                            fit.offsetY,
                                            fit.display.Width,
                                            fit.display.Height,
                                            fit.display.PCx * fit.display.Width,
                                            fit.display.PCy * fit.display.Height,
                                            fit.display.PCz * fit.display.Height};
        painter.fillRect(QRect(place.offsetX, place.offsetY, place.width, place.height),
                         m_look.background);
        const ebsp::DetectorProjection projection(fit.display, m_g);
        std::vector<ebsp::DetectorZoneLabel> zones;
        const bool bands = Usable() && !m_inputs.empty();
        if (!m_pattern.isNull())
            ebsp::paintPatternOverlay(painter, m_pattern, projection,
                                      bands ? m_inputs : std::vector<ebsp::DetectorBandInput>(),
                                      m_look.bands, m_look.background, m_overlay, place, size,
                                      kBandTolerance);
        else if (bands)
            ebsp::paintDetectorBands(painter, projection, m_inputs, m_look.bands, place,
                                     kBandTolerance);
        if (bands) zones = ZoneLabels(size);
        ebsp::paintDetectorOverlay(painter, zones, projection.patternCentre(), m_look, place);
    }
    painter.restore();
}

const QImage& TDetectorPanel::Image() {
    if (m_imageStale || m_image.size() != size()) {
        if (m_image.size() != size())
            m_image = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
        QPainter painter(&m_image);
        drawPicture(painter, m_image.size());
        m_imageStale = false;
    }
    return m_image;
}

QSize TDetectorPanel::sizeHint() const {
    const int w = 640;
    return QSize(w,
                 std::max(1, int(std::lround(w * double(m_detector.Height) / m_detector.Width))));
}

void TDetectorPanel::paintEvent(QPaintEvent* event) {
    const QImage& image = Image();
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image, event->rect());
}

void TDetectorPanel::resizeEvent(QResizeEvent* event) {
    m_imageStale = true;
    QWidget::resizeEvent(event);
}

// ---- Mouse ------------------------------------------------------------------------------------

bool TDetectorPanel::SampleDirection(int X, int Y, TVec3D& v) const {
    const ebsp::DetectorFit fit = Fit(size());
    if (!fit.valid) return false;
    // The pixel's centre, in pattern pixels; g = identity gives sample-frame directions.
    const TMat3D identity{{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
    return DetectorDirection(&fit.display, &identity, X - fit.offsetX + 0.5, Y - fit.offsetY + 0.5,
                             &v) == 0;
}

void TDetectorPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_dragging = true;
    m_dragStart = event->position().toPoint();
    m_dragStartEuler = m_euler;
}

void TDetectorPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!m_dragging) {
        ReadPointer(pos.x(), pos.y());
        return;
    }
    // As on the map: the direction under the press point follows the pointer.  Directions
    // are taken in the sample frame, so a drag across the screen turns about the
    // detector's Y axis and one up or down about its X axis.
    TVec3D s, c, axis;
    if (!SampleDirection(m_dragStart.x(), m_dragStart.y(), s) ||
        !SampleDirection(pos.x(), pos.y(), c))
        return;
    const double k = Dot(&c, &s);
    TVec3D turned = m_dragStartEuler;
    if (Cross(&c, &s, &axis, 1) && k < 1.0) {
        const double angle = std::atan2(std::sqrt(std::max(0.0, 1.0 - k * k)), k);
        turned = ebsp::rotateOrientation(m_dragStartEuler, axis, angle);
    }
    m_euler = turned;
    Euler2Matrix(&m_euler, &m_g);
    Changed();
    if (OnRotate) OnRotate(this);
}

void TDetectorPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) return;
    m_dragging = false;
    if (OnRotated) OnRotated(this);
}

void TDetectorPanel::leaveEvent(QEvent* event) {
    if (!m_pick.zoneText.empty() || !m_pick.planeText.empty()) {
        ebsp::clearPick(m_pick);
        if (OnPointerRead) OnPointerRead(this, QString(), QString());
    }
    QWidget::leaveEvent(event);
}

void TDetectorPanel::ReadPointer(int X, int Y) {
    if (!Usable() || !OnPointerRead) return;
    const ebsp::DetectorFit fit = Fit(size());
    TVec3D v;
    const double x = X - fit.offsetX + 0.5, y = Y - fit.offsetY + 0.5;
    const bool onScreen = fit.valid && x >= 0.0 && y >= 0.0 && x <= fit.display.Width &&
                          y <= fit.display.Height &&
                          DetectorDirection(&fit.display, &m_g, x, y, &v) == 0;
    bool changed = true;
    if (onScreen) {
        const bool zone = ebsp::pickZone(m_pick, m_crySet, m_hexCell, v, "666");
        const bool plane =
            ebsp::pickPlane(m_pick, m_reflectors.data(), int(m_reflectors.size()), m_hexCell, v);
        changed = zone || plane;
    } else {
        ebsp::clearPick(m_pick);
    }
    if (changed)
        OnPointerRead(this, QString::fromLatin1(m_pick.zoneText.c_str()),
                      QString::fromStdString(m_pick.planeText));
}
