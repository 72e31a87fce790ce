// A measured pattern in the detector window: loading (menu, Ctrl+L, drag and drop), the
// background-corrected view, the simulated bands laid over it, the fit by hand (keys, Ctrl
// drag and Ctrl wheel for the pattern centre), "Refine" in a worker thread, and the results
// out (clipboard, picture, settings file beside the pattern).
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "fit_image.h"
#include "fit_refine.h"
#include "fit_settings.h"
#include "save_picture_dialog.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class TDetectorPanel;

// The window's questions, behind hooks so that tests can answer them.
struct OverlayQuestions {
    std::function<QString(QWidget*parent, const QString&caption, const QString&suggested,
                          const QString&filters)>
        openFile, saveFile;  // empty: cancelled
    std::function<bool(QWidget* parent, const QString& caption, const QString& text)> yesNo;
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> error;
    std::function<bool(QWidget* parent, QColor& colour)> colour;  // false: cancelled
    ebsp::SavePictureQuestions picture;
};
OverlayQuestions qtOverlayQuestions();

// An image file as grey values (colour taken as grey, 16 bits kept); false with a reason.
bool readPatternImage(const QString& path, ebsp::fit::GreyImage& grey, QString& error);

class PatternOverlay : public QObject {
    Q_OBJECT
  public:
    // convention: the PC convention the user chose in the settings.
    PatternOverlay(QMainWindow* window, TDetectorPanel* panel, std::function<int()> convention);
    ~PatternOverlay() override;  // cancels a running refinement and waits for it

    OverlayQuestions Ask;
    std::function<QString()> PhaseName;  // for the settings file; may be unset

    QMenu* Menu = nullptr;
    QAction *LoadAction = nullptr, *BackgroundAction = nullptr, *ModeAction = nullptr,
            *EdgesAction = nullptr, *ColourAction = nullptr, *OpacityUpAction = nullptr,
            *OpacityDownAction = nullptr, *RefineAction = nullptr, *RefinePcAction = nullptr,
            *CopyAction = nullptr, *SavePictureAction = nullptr, *SaveFitAction = nullptr,
            *LoadFitAction = nullptr, *CloseAction = nullptr;
    QLabel* FitReadOut = nullptr;  // orientation, PC and figure of merit, or the progress

    // Nothing changes (and one message is shown) when the file cannot be read.
    bool LoadPattern(const QString& path);
    void ClosePattern();
    bool HasPattern() const { return !m_raw.empty(); }
    const ebsp::fit::GreyImage& Pattern() const { return m_raw; }
    QString PatternPath() const { return m_path; }

    void SetBackgroundCorrection(bool on);
    void CycleMode();  // lines over the pattern -> blended simulation -> pattern alone
    void SetOpacity(double opacity);

    // Turns the crystal by omega (degrees) about the detector's X (right), Y (up) and Z
    // (towards the viewer) axes; every view follows.
    void TurnCrystal(double xDeg, double yDeg, double zDeg);
    // Moves the PC by (dx, dy) pattern pixels, or changes PCz (Bruker) by dz.
    void MovePatternCentre(double dx, double dy);
    void ChangePcDistance(double dz);

    // The bands of the current phase and reflectors, as the fit simulates them.
    std::vector<ebsp::fit::SimBand> SimulatedBands() const;

    // Starts the refinement in a worker thread (a second call cancels it).
    bool StartRefine();
    void CancelRefine();
    bool Refining() const { return m_worker.joinable(); }
    const ebsp::fit::RefineResult& LastRefine() const { return m_last; }

    // "phi1 Phi phi2 PCx PCy PCz": degrees, the PC in the user's convention.
    QString ResultText() const;
    void CopyResult();
    bool SavePicture();
    bool SaveFit(const QString& path);
    bool LoadFit(const QString& path);
    QString ReadOutText() const;
    void ShowReadOut();

  signals:
    void refineFinished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateMenu();
    void ShowPattern();
    void Oriented();  // the panel's orientation changed here: tell its owner
    void FinishRefine(const ebsp::fit::RefineResult& result, bool refinedPc, unsigned generation);
    void Fail(const QString& caption, const QString& text);
    QString DefaultFitPath() const;
    bool KeyPressed(class QKeyEvent* event);
    bool PanelMouse(QEvent* event);

    QMainWindow* m_window;
    TDetectorPanel* m_panel;
    std::function<int()> m_convention;
    ebsp::fit::GreyImage m_raw, m_corrected;
    QString m_path;
    bool m_hasFom = false;
    double m_fom = 0.0;
    ebsp::fit::RefineResult m_last;

    bool m_pcDragging = false;
    QPoint m_pcDragStart;
    double m_pcDragStartX = 0.0, m_pcDragStartY = 0.0;

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    // Counts refinements and pattern loads: a result that comes back for an older pattern
    // (it may have finished just before the cancel reached it) is not applied.
    unsigned m_generation = 0;
    QString m_progress;  // shown instead of the read-out while refining
};
