// The detector window: the pattern on the EBSD screen (TDetectorPanel), a menu with the
// detector settings, and a status bar with the pointer read-out.  The main window feeds it
// the crystal, orientation, reflectors and band look, and follows its drags.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>

#include "DetectorPanel.h"

#include "user_settings.h"

class PatternOverlay;
class QAction;
class QLabel;
class QSettings;

class DetectorWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit DetectorWindow(QWidget* parent = nullptr);

    TDetectorPanel* Panel = nullptr;
    QAction* SettingsAction = nullptr;
    QLabel* ReadOut = nullptr;                       // the status bar's pointer read-out
    PatternOverlay* Overlay = nullptr;               // a measured pattern, its overlay and its fit
    int Convention() const { return m_convention; }  // the PC convention the user chose

    // Runs the settings dialog; applies and remembers the detector when accepted.  The
    // runner (tests set it) edits the dialog and returns whether it was accepted; by
    // default the dialog runs modally.
    bool EditSettings();
    std::function<bool(class DetectorSettingsDialog&)> RunSettingsDialog;

    // Puts the window at the right of the given frame, kept on its screen.
    void PlaceBeside(const QRect& frame);
    // The pointer read-out: zone and plane under the pointer, or the hint.
    void ShowPointerRead(const QString& zoneUvw, const QString& planeHkl);

  private:
    static QSettings UserSettings();
    int m_convention = 0;
};
