// TForm1: the ebsp main window.  Lists the built-in phases, builds the chosen
// phase's crystal set, couples the unit-cell view and the Kikuchi map view,
// and holds the menus, dialogs and the spin cycle.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "CrystalEBSPpanel.h"
#include "lattixLib.h"
#include "phase_catalogue.h"
#include "platform_services.h"
#include "save_picture_dialog.h"

class QAction;
class QActionGroup;
class QDragEnterEvent;
class QDropEvent;
class LoadedPhases;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class PanelStatusBar;
class DetectorWindow;

// The application title (task-bar text) and the main window's caption.
inline constexpr const char* kApplicationTitle = "Velloran";
inline constexpr const char* kMainWindowCaption = "Korvell - EBSP simulator";

class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // services answers dialogs, ticks and web requests; null: the Qt ones.
    // Not owned when given; it must outlive the window.
    explicit TForm1(PlatformServices* services = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Controls ---------------------------------------------------------------
    QListWidget* ListBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;                 // hidden: collects the description lines
    TCrystalEBSPpanel* CrystalEBSPpanel1 = nullptr;  // unit cell
    TCrystalEBSPpanel* CrystalEBSPpanel2 = nullptr;  // spherical Kikuchi map
    QLabel* Image3 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // hidden flat button showing the web address
    QLabel* Image1 = nullptr;             // hidden, recentred on resize
    PanelStatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;

    QMenu* PopupMenu1 = nullptr;  // unit-cell view
    QAction* Orientation2 = nullptr;
    QAction* MenuColour1 = nullptr;
    QAction* N2 = nullptr;
    QAction* CopytoClipboard1 = nullptr;
    QAction* SavePicture1 = nullptr;  // "Save picture..." of the unit-cell view

    QMenu* PopupMenu2 = nullptr;             // map view
    QActionGroup* BandStyleGroup = nullptr;  // group index 123: the three radio items
    QAction* MenuSolid1 = nullptr;
    QAction* MenuEdges1 = nullptr;
    QAction* MenuCentres1 = nullptr;
    QAction* N3 = nullptr;
    QAction* MenuItem1 = nullptr;
    QAction* Acceleratingvoltage1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Orientation1 = nullptr;
    QAction* MenuSpin1 = nullptr;
    QAction* N4 = nullptr;
    QAction* MenuHighlightplaneandzone1 = nullptr;
    QAction* MenuItem2 = nullptr;
    QAction* MenuItem3 = nullptr;
    QAction* SavePicture2 = nullptr;  // "Save picture..." of the map view
    // The file and size questions of "Save picture..." (file: Qt's dialog; size and errors:
    // the platform services).
    ebsp::SavePictureQuestions PictureQuestions;
    QAction* MenuDetector1 = nullptr;           // "Detector pattern..." (Ctrl+D)
    DetectorWindow* DetectorWindow1 = nullptr;  // created on first use

    QMenu* PopupMenu3 = nullptr;  // phase list: phases loaded from files
    QAction* AddPhaseFromFile1 = nullptr;
    QAction* RemovePhase1 = nullptr;

    // ---- Window state ---------------------------------------------------------------
    TPhaseRecord CurrentPhase{};
    TCrySet CurrentCrySet{};             // both views hold a reference to this record
    TVec3D CurrentOrientation{0, 0, 0};  // Euler angles, radians
    int32_t RequestedReflectorCount = 100;
    int32_t BandStyleIndex = 0;
    uint32_t LastPhaseChangeTick = 0;  // milliseconds, wraps at 2^32

    // ---- Start-up and phase selection -------------------------------------------------
    void FormCreate();
    void ListBox1Click();
    void ApplyReflectorCount(int32_t n);
    void CrystalEBSPpanel1Rotate(QObject* Sender);
    void CrystalEBSPpanel2Rotate(QObject* Sender);
    void CrystalEBSPpanel2GetReflector(QObject* Sender, int index0, int8_t& h, int8_t& k, int8_t& l,
                                       double& d_spacing, double& intensity);
    void CrystalEBSPpanel2MouseMoveCrystalDir(QObject* Sender, const TVec3D& CS2dir, int PlaneNo,
                                              const QString& Plane_hkl, const QString& Zone_uvw,
                                              bool& HighlightPlane, bool& HighlightZone,
                                              bool& LabelPlane, bool& LabelZone);
    void CrystalEBSPpanel1Click(QObject* Sender);
    void CrystalEBSPpanel1DblClick(QObject* Sender);
    void CrystalEBSPpanel2Click(QObject* Sender);
    void CrystalEBSPpanel2DblClick(QObject* Sender);
    // The application's current hint; the status bar's simple text shows its long part.
    void DisplayHint(const QString& hint);
    void FormResize();

    // ---- Menus, dialogs, web button ---------------------------------------------------
    void PopupMenu1Popup();
    void PopupMenu2Popup();
    void MenuSolid1Click(QObject* Sender);  // the three radio items, told apart by tag
    void NumberofReflectors1Click();
    void Acceleratingvoltage1Click();
    void Orientation1Click();
    void MenuColour1Click();
    void CopytoClipboard1Click();
    void MenuItem3Click();
    void MenuSpin1Click();
    void MenuHighlightplaneandzone1Click();
    void SpeedButton2Click();
    void SavePictureClick(TCrystalEBSPpanel* view);
    // The detector window (form_detector.cpp): opened by the map's menu, turned with the
    // other views; reload also hands it the crystal set and the reflectors.
    void DetectorPattern1Click();
    void DetectorRotate();
    void UpdateDetectorView(bool reload);

    // ---- Spin cycle --------------------------------------------------------------------
    void Timer1Timer();
    void SpinStep();
    // Euler angles e (radians) turned about axis by angle (radians): g.R, or with
    // inverse R^T.g: the views' own orientation turn (orientation_turn.h).
    static TVec3D RotateAboutAxis(const TVec3D& e, const TVec3D& axis, bool inverse, double angle);
    void StopSpinCycle();

    // ---- Phases loaded from files (loaded_phase_commands.cpp) ------------------------------
    void AddPhaseFromFile1Click();
    // Reads each file (letting the user pick a structure of a file with several) and lists
    // its phase below the built-in ones; the last one added is selected.
    void AddPhaseFiles(const QStringList& paths);
    // Remove acts on the row the phase menu was opened on, else on the selected row.
    void PopupMenu3Popup(int row);
    void RemovePhase1Click();
    // The loaded phases, in list order after the built-in ones.
    const LoadedPhases& Loaded() const { return *m_loadedPhases; }
    int BuiltInPhaseCount() const { return m_builtInPhaseCount; }

    PlatformServices& Services() { return *m_services; }
    // The list's selected index, -1 for none.
    int SelectedIndex() const;
    // The menu item of each band style index 0..2 (null outside).
    QAction* BandStyleItem(int index) const;

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void createDetectorItem();
    void wireViewEvents();
    void applyBandStyleIndex();
    // The library's messages while a crystal set is built, shown once afterwards.
    bool buildCrystalSet(int32_t laueGroup);

    // Loaded phases (loaded_phase_commands.cpp).
    void createPhaseListMenu();
    void restoreLoadedPhases();
    // Completes CurrentPhase for the selected row (a loaded row's record replaces the empty
    // one BuildPhase gave); gives the Laue group for InitCrySet2.  A loaded phase that
    // cannot be shown leaves the empty record.
    int32_t buildSelectedPhase();
    // The row the spin cycle shows next: the following one that holds a usable phase.
    int nextSpinRow() const;
    void showLoadedPhaseItem(int index);
    void saveLoadedPhases();
    void selectRowByCode(int row);
    std::unique_ptr<LoadedPhases> m_loadedPhases;
    int m_builtInPhaseCount = 0;
    int m_phaseMenuRow = -1;

    bool m_listSelectedByCode = false;
    std::unique_ptr<PlatformServices> m_ownServices;
    PlatformServices* m_services = nullptr;
};
