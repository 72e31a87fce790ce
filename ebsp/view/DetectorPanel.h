// TDetectorPanel: the Kikuchi bands of a crystal as a flat EBSD screen shows them (the
// gnomonic projection of the detector), in an orientation it shares with its owner, with
// the strongest zone axes, the pattern centre and a frame; it turns under the mouse and
// reads out the zone and plane under the pointer.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include "detector_painters.h"
#include "detector_scene.h"
#include "kikuchi_bands.h"
#include "lattixDetector.h"
#include "overlay_painters.h"
#include "pointer_pick.h"

class TDetectorPanel : public QWidget {
    Q_OBJECT

  public:
    explicit TDetectorPanel(QWidget* parent = nullptr);
    ~TDetectorPanel() override;

    // Reflector i (zero-based) as the map's owner hands them out.
    using GetReflector = std::function<void(int index0, int8_t& h, int8_t& k, int8_t& l, double& d,
                                            double& intensity)>;
    using Notify = std::function<void(QObject* sender)>;
    using PointerReadEvent =
        std::function<void(QObject* sender, const QString& zoneUvw, const QString& planeHkl)>;

    // Holds crySet (not owned, may be null) and drops the reflectors.
    void SetCrystalSet(const TCrySet* crySet);
    // Loads count (at most 200) reflectors through OnGetReflector.
    void SetReflectorCount(int count);
    int ReflectorCount() const { return int(m_reflectors.size()); }
    // Euler angles in radians (Bunge, sample to crystal).  Ignored during the panel's own drag.
    void SetOrientation(const TVec3D& euler);
    TVec3D EulerAngles() const { return m_euler; }
    void SetkV(double kv);
    double kV() const { return m_kV; }
    // Band greys from intensity 0 to 100, as the map's KikuchiBandGreyMin/Max.
    void SetBandGreys(int greyMin, int greyMax);
    void SetBandLook(const ebsp::BandLook& look);
    const ebsp::BandLook& BandLook() const { return m_look.bands; }
    // False (detector kept) when the library refuses it.
    bool SetDetector(const TDetector& detector);
    const TDetector& Detector() const { return m_detector; }

    // A measured pattern (any size, stretched onto the detector) shown under the bands, as
    // look says; a null image goes back to the plain view.
    void SetPattern(const QImage& pattern);
    bool HasPattern() const { return !m_pattern.isNull(); }
    void SetOverlayLook(const ebsp::OverlayLook& look);
    const ebsp::OverlayLook& OverlayLook() const { return m_overlay; }
    const TCrySet* CrystalSet() const { return Usable() ? m_crySet : nullptr; }
    const std::vector<ebsp::Reflector>& Reflectors() const { return m_reflectors; }

    // The whole view drawn at size onto any painter (a saved picture, a printer, an SVG):
    // the detector fitted with its aspect ratio and centred.
    void drawPicture(QPainter& painter, QSize size) const;
    // The zone markers and texts drawn at size, in pixels of the fitted detector (add the
    // fit's offset for the picture's pixels).
    std::vector<ebsp::DetectorZoneLabel> ZoneLabels(QSize size) const;
    // Where the detector sits in a picture of size.
    ebsp::DetectorFit Fit(QSize size) const;
    // The widget's picture, drawn when stale.
    const QImage& Image();

    Notify OnRotate;                 // every mouse move of a drag
    Notify OnRotated;                // once at the end of a drag
    PointerReadEvent OnPointerRead;  // the zone or plane under the pointer changed
    GetReflector OnGetReflector;
    Notify OnChanged;  // the picture went stale: orientation, detector, bands or pattern

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    bool Usable() const { return m_crySet != nullptr && m_crySet->LaueGroup > 0; }
    void RefreshBands();  // normals, widths, greys, band inputs and zones as needed
    void Changed();       // the picture is stale
    // Sample-frame direction seen at widget pixel (X, Y); false off any detector.
    bool SampleDirection(int X, int Y, TVec3D& v) const;
    void ReadPointer(int X, int Y);

    const TCrySet* m_crySet = nullptr;
    std::vector<ebsp::Reflector> m_reflectors;
    std::vector<ebsp::DetectorBandInput> m_inputs;
    std::vector<ebsp::ZoneAxisEntry> m_zones;
    bool m_hexCell = false;
    bool m_normalsStale = true;
    bool m_widthsStale = true;
    bool m_greysStale = true;
    TVec3D m_euler{0.0, 0.0, 0.0};
    TMat3D m_g{};
    double m_kV = 20.0;
    int m_greyMin = 220;
    int m_greyMax = 80;
    TDetector m_detector = ebsp::defaultDetector();
    ebsp::DetectorLook m_look;

    QImage m_pattern;
    ebsp::OverlayLook m_overlay;
    QImage m_image;
    bool m_imageStale = true;

    bool m_dragging = false;
    QPoint m_dragStart;
    TVec3D m_dragStartEuler{};
    ebsp::PointerPick m_pick;
};
