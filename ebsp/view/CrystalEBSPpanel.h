// TCrystalEBSPpanel: one control that draws a crystal's unit cell, its spherical Kikuchi
// map, or both, in an orientation it shares with its owner, and turns under the mouse.
#pragma once

#include <cstdint>
#include <functional>

#include <QColor>
#include <QImage>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "kikuchi_bands.h"
#include "lattixLib.h"
#include "pointer_pick.h"
#include "unit_cell.h"
#include "view_projection.h"

class QPainter;
namespace ebsp {
struct PreviewReflector;
}

// Event types.  Out and in-out parameters go by reference; Sender is the control.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TOnGetReflectorEvent = std::function<void(QObject* Sender, int index0, int8_t& h, int8_t& k,
                                                int8_t& l, double& d_spacing, double& intensity)>;
using TOnMouseMoveCrystalDir =
    std::function<void(QObject* Sender, const TVec3D& CS2dir, int PlaneNo, const QString& Plane_hkl,
                       const QString& Zone_uvw, bool& HighlightPlane, bool& HighlightZone,
                       bool& LabelPlane, bool& LabelZone)>;
// The base panel's mouse events (button, modifiers, pixel position).
using TMouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button,
                                       Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent =
    std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

class TCrystalEBSPpanel : public QWidget {
    Q_OBJECT

  public:
    enum TKikuchiBandStyle { kbSolid, kbSolidBlack, kbEdge, kbEdgeBlack, kbCentre, kbCentreBlack };
    Q_ENUM(TKikuchiBandStyle)

    // Published properties in their declared order.  StoredDefault() gives each one's
    // declared default (an invalid QVariant where the value is always recorded).
    Q_PROPERTY(bool RepaintLocked READ RepaintLocked WRITE SetRepaintLocked)
    Q_PROPERTY(bool ShowCrystal READ ShowCrystal WRITE SetShowCrystal)
    Q_PROPERTY(bool ShowCrystalAxes READ ShowCrystalAxes WRITE SetShowCrystalAxes)
    Q_PROPERTY(bool ShowEBSP READ ShowEBSP WRITE SetShowEBSP)
    Q_PROPERTY(bool ShowHexUnitCell READ ShowHexUnitCell WRITE SetShowHexUnitCell)
    Q_PROPERTY(QColor BackgroundColour READ BackgroundColour WRITE SetBackgroundColour)
    Q_PROPERTY(bool ShowAsWireFrame READ ShowAsWireFrame WRITE SetShowAsWireFrame)
    Q_PROPERTY(bool ShowHiddenLines READ ShowHiddenLines WRITE SetShowHiddenLines)
    Q_PROPERTY(bool MouseRotAllow READ MouseRotAllow WRITE SetMouseRotAllow)
    Q_PROPERTY(bool MouseRotWireFrame READ MouseRotWireFrame WRITE SetMouseRotWireFrame)
    Q_PROPERTY(bool DoubleClickCycling READ DoubleClickCycling WRITE SetDoubleClickCycling)
    Q_PROPERTY(double Euler1deg READ Euler1deg STORED false)
    Q_PROPERTY(double Euler2deg READ Euler2deg STORED false)
    Q_PROPERTY(double Euler3deg READ Euler3deg STORED false)
    Q_PROPERTY(int ReflectorCount READ ReflectorCount WRITE SetReflectorCount)
    Q_PROPERTY(double kV READ kV WRITE SetkV)
    Q_PROPERTY(TKikuchiBandStyle KikuchiBandStyle READ KikuchiBandStyle WRITE SetKikuchiBandStyle)
    Q_PROPERTY(int KikuchiBandGreyMin READ KikuchiBandGreyMin WRITE SetKikuchiBandGreyMin)
    Q_PROPERTY(int KikuchiBandGreyMax READ KikuchiBandGreyMax WRITE SetKikuchiBandGreyMax)
    Q_PROPERTY(QColor LineColour READ LineColour WRITE SetLineColour)
    Q_PROPERTY(QColor FaceColour READ FaceColour WRITE SetFaceColour)
    Q_PROPERTY(QString MouseRotMaxIndices READ MouseRotMaxIndices WRITE SetMouseRotMaxIndices)
    Q_PROPERTY(bool ShowCopyright READ ShowCopyright WRITE SetShowCopyright)
    // The base panel's tag, by which one handler tells several controls apart.
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

  public:
    explicit TCrystalEBSPpanel(QWidget* parent = nullptr);
    // How the control is being created: TCreation::Designer only from the form designer's
    // plugin, where the control shows a sample crystal with bands (designer_preview.h).
    enum class TCreation { RunTime, Designer };
    TCrystalEBSPpanel(QWidget* parent, TCreation creation);
    ~TCrystalEBSPpanel() override;

    // ---- Properties ---------------------------------------------------------------
    bool RepaintLocked() const { return m_repaintLocked; }
    void SetRepaintLocked(bool value);  // writing false always repaints
    bool ShowCrystal() const { return m_showCrystal; }
    void SetShowCrystal(bool value);
    bool ShowCrystalAxes() const { return m_showCrystalAxes; }
    void SetShowCrystalAxes(bool value);
    bool ShowEBSP() const { return m_showEBSP; }
    void SetShowEBSP(bool value);
    bool ShowHexUnitCell() const { return m_showHexUnitCell; }
    void SetShowHexUnitCell(bool value);
    QColor BackgroundColour() const { return m_backgroundColour; }
    void SetBackgroundColour(const QColor& value);
    bool ShowAsWireFrame() const { return m_showAsWireFrame; }
    void SetShowAsWireFrame(bool value);
    bool ShowHiddenLines() const { return m_showHiddenLines; }
    void SetShowHiddenLines(bool value);
    bool MouseRotAllow() const { return m_mouseRotAllow; }
    void SetMouseRotAllow(bool value) { m_mouseRotAllow = value; }
    bool MouseRotWireFrame() const { return m_mouseRotWireFrame; }
    void SetMouseRotWireFrame(bool value) { m_mouseRotWireFrame = value; }
    bool DoubleClickCycling() const { return m_doubleClickCycling; }
    void SetDoubleClickCycling(bool value) { m_doubleClickCycling = value; }
    double Euler1deg() const { return m_euler1deg; }
    double Euler2deg() const { return m_euler2deg; }
    double Euler3deg() const { return m_euler3deg; }
    int ReflectorCount() const { return m_reflectorCount; }
    void SetReflectorCount(int value);  // loads the reflectors through OnGetReflector
    double kV() const { return m_kV; }
    void SetkV(double value);
    TKikuchiBandStyle KikuchiBandStyle() const { return m_kikuchiBandStyle; }
    void SetKikuchiBandStyle(TKikuchiBandStyle value);
    int KikuchiBandGreyMin() const { return m_kikuchiBandGreyMin; }
    void SetKikuchiBandGreyMin(int value);  // a byte: clamped to 0..255
    int KikuchiBandGreyMax() const { return m_kikuchiBandGreyMax; }
    void SetKikuchiBandGreyMax(int value);  // a byte: clamped to 0..255
    QColor LineColour() const { return m_lineColour; }
    void SetLineColour(const QColor& value);
    QColor FaceColour() const { return m_faceColour; }
    void SetFaceColour(const QColor& value);
    QString MouseRotMaxIndices() const { return m_mouseRotMaxIndices; }
    void SetMouseRotMaxIndices(const QString& value) { m_mouseRotMaxIndices = value; }
    bool ShowCopyright() const { return m_showCopyright; }
    void SetShowCopyright(bool value) { m_showCopyright = value; }
    int Tag() const { return m_tag; }
    void SetTag(int value) { m_tag = value; }

    // Declared default of a published property, deciding whether a form records it;
    // invalid for properties without one (always recorded) and unknown names.
    static QVariant StoredDefault(const char* propertyName);

    // ---- Events (assigned when the std::function is non-empty) ---------------------
    TNotifyEvent OnRotate;                         // every mouse move of a drag
    TNotifyEvent OnRotated;                        // once at the end of a drag
    TOnMouseMoveCrystalDir OnMouseMoveCrystalDir;  // pointer pick changed
    TOnGetReflectorEvent OnGetReflector;           // while ReflectorCount is written
    // The base panel's events.
    TNotifyEvent OnClick;     // left press then release over the control
    TNotifyEvent OnDblClick;  // only when DoubleClickCycling is false
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;      // presses that start no drag
    TMouseMoveEvent OnMouseMove;  // moves without drag and without pointer pick
    TMouseEvent OnMouseUp;        // releases that end no drag

    // ---- Operations ------------------------------------------------------------------
    // Holds crySet (not owned, may be null).  Same reference with skipIfSame: nothing.
    // Otherwise resets ReflectorCount to 0 without events and repaints unless locked.
    void SetCrystalSet(const TCrySet* crySet, bool skipIfSame);
    // Euler angles in radians.  Ignored while a drag holds the drag lock; no event.
    void SetOrientation(const TVec3D& euler);
    // Puts a copy of the off-screen image on the clipboard; nothing before the first paint.
    void CopyToClipboard();
    // Repaints at once (into the off-screen image, then onto the screen when shown),
    // unless RepaintLocked.
    void Repaint();

    TVec3D EulerAngles() const { return m_euler; }  // radians, as SetOrientation takes them
    // The off-screen image (what CopyToClipboard copies); a null image before the first paint.
    const QImage& Image() const { return m_image; }
    // The view drawn again at size (pixels) on any paint device: the paint sequence of the
    // off-screen image with the projection and bands of that size.  The painter's origin is
    // the picture's top left, untransformed on a 32-bit image (whose band lines are written
    // straight into its pixels).  At the view's own size on a 32-bit image it gives the
    // off-screen image pixel for pixel.
    void drawPicture(QPainter& painter, QSize size);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    friend struct TCrystalEBSPpanelProbe;  // the view tests' read-out of the caches

    void ShowDesignerPreview();  // the sample crystal, cell and bands of designer mode
    void RecreateImage();
    void PaintImage();  // the paint sequence into the off-screen image
    // The paint sequence over an area of size; other: a projection other than the view's
    // own, for which the bands are built afresh (null: the view's own caches).
    void PaintScene(QPainter& painter, QSize size, const ebsp::OrthographicProjection* other);
    void DrawCell(QPainter& painter, const ebsp::OrthographicProjection* other);
    void DrawSphereMap(QPainter& painter, const ebsp::OrthographicProjection* other);
    void PointerPick(int X, int Y);  // mouse move without drag on the map
    bool PickZone(const TVec3D& v);
    bool PickPlane(const TVec3D& v);  // refreshes stale normals and widths first
    void DragRotate(int X, int Y);    // turns from the drag's start orientation
    void DoubleClickCycle();
    bool HoldsUsableCrystalSet() const;  // a crystal set with LaueGroup > 0
    void CheckSize();                    // catches size changes whose resize event is pending
    // Copies up to 200 entries into the reflector table, sets the count, marks the band
    // caches stale and repaints unless locked.
    void LoadReflectorList(const ebsp::PreviewReflector* list, int count);

    // Cache steps, run lazily by painting.
    void UpdateViewMatrix();
    void UpdateViewSize();
    void BuildCell();
    void ProjectCell();
    void UpdateNormals();
    void UpdateBandWidths();
    void UpdateBandGreys();
    void BuildBands();

    // Properties.
    bool m_repaintLocked = false;
    bool m_showCrystal = true;
    bool m_showCrystalAxes = true;
    bool m_showEBSP = false;
    bool m_showHexUnitCell = true;
    QColor m_backgroundColour{255, 255, 255};
    bool m_showAsWireFrame = false;
    bool m_showHiddenLines = false;
    bool m_mouseRotAllow = true;
    bool m_mouseRotWireFrame = false;
    bool m_doubleClickCycling = true;
    double m_euler1deg = 0.0;
    double m_euler2deg = 0.0;
    double m_euler3deg = 0.0;
    int m_reflectorCount = 0;
    double m_kV = 20.0;
    TKikuchiBandStyle m_kikuchiBandStyle = kbSolid;
    int m_kikuchiBandGreyMin = 200;
    int m_kikuchiBandGreyMax = 30;
    QColor m_lineColour{0, 0, 0};
    QColor m_faceColour{128, 128, 128};
    QString m_mouseRotMaxIndices = QStringLiteral("666");
    bool m_showCopyright = false;
    int m_tag = 0;

    // Component state.
    const TCrySet* m_crySet = nullptr;  // not owned
    QImage m_image;
    TCrySet m_ownCrySet{};  // the designer preview's crystal
    bool m_designerMode = false;

    bool m_geometryStale = true;
    bool m_projectionStale = true;
    bool m_matrixStale = true;
    bool m_sizeStale = true;
    bool m_imageStale = true;
    bool m_normalsStale = false;
    bool m_bandsStale = false;
    bool m_braggStale = false;
    bool m_greyStale = false;
    bool m_hexCell = true;

    TVec3D m_euler{0.0, 0.0, 0.0};
    TMat3D m_viewMatrix{};
    TMat3D m_inverseViewMatrix{};

    ebsp::UnitCell m_cell;
    ebsp::Reflector m_reflectors[ebsp::kMaxReflectors];
    ebsp::OrthographicProjection m_projection;
    QSize m_knownSize;

    // Pointer state.
    bool m_dragging = false;
    bool m_dragLock = false;
    int m_dragStartX = 0;
    int m_dragStartY = 0;
    TVec3D m_dragStartEuler{};
    TVec3D m_draggedEuler{};
    bool m_leftPressed = false;  // for OnClick

    // Pick state.
    ebsp::PickSwitches m_switches;
    ebsp::PointerPick m_pick;
    std::string m_lastReportedZoneText = "??";

    int m_repaintCount = 0;
    bool m_imageFresh = false;  // Repaint() drew the image for the paint it asks for
};

// The band styles also by their bare names, as owners write them.
using TKikuchiBandStyle = TCrystalEBSPpanel::TKikuchiBandStyle;
inline constexpr TKikuchiBandStyle kbSolid = TCrystalEBSPpanel::kbSolid;
inline constexpr TKikuchiBandStyle kbSolidBlack = TCrystalEBSPpanel::kbSolidBlack;
inline constexpr TKikuchiBandStyle kbEdge = TCrystalEBSPpanel::kbEdge;
inline constexpr TKikuchiBandStyle kbEdgeBlack = TCrystalEBSPpanel::kbEdgeBlack;
inline constexpr TKikuchiBandStyle kbCentre = TCrystalEBSPpanel::kbCentre;
inline constexpr TKikuchiBandStyle kbCentreBlack = TCrystalEBSPpanel::kbCentreBlack;
