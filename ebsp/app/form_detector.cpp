// The main window's side of the detector window: the menu item that opens it, and the
// coupling that keeps it on the current phase, orientation, reflectors and band look.
#include <QAction>
#include <QListWidget>
#include <QMenu>

#include "Unit1.h"
#include "detector_window.h"
#include "pattern_overlay.h"
#include "view_constants.h"
#include "view_setup.h"

void TForm1::createDetectorItem() {
    MenuDetector1 = PopupMenu2->addAction(QStringLiteral("Detector pattern..."));
    MenuDetector1->setStatusTip(
        QStringLiteral("Show the Kikuchi pattern on a flat EBSD detector in a window of its own"));
    MenuDetector1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(MenuDetector1);  // the shortcut works without the menu open
    connect(MenuDetector1, &QAction::triggered, this, &TForm1::DetectorPattern1Click);
}

void TForm1::DetectorPattern1Click() {
    if (DetectorWindow1 == nullptr) {
        DetectorWindow1 = new DetectorWindow(this);
        TDetectorPanel* panel = DetectorWindow1->Panel;
        panel->OnGetReflector = [this](int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                       double& intensity) {
            CrystalEBSPpanel2GetReflector(CrystalEBSPpanel2, i, h, k, l, d, intensity);
        };
        panel->OnRotate = [this](QObject*) { DetectorRotate(); };
        panel->OnRotated = [this](QObject*) { DetectorRotate(); };
        DetectorWindow1->Overlay->PhaseName = [this] {
            const QListWidgetItem* item = ListBox1->currentItem();
            return item ? item->text() : QString();
        };
        UpdateDetectorView(true);
        DetectorWindow1->PlaceBeside(frameGeometry());
    }
    DetectorWindow1->show();
    DetectorWindow1->raise();
    DetectorWindow1->activateWindow();
}

void TForm1::DetectorRotate() {
    if (DetectorWindow1 == nullptr) return;
    // A drag stops the spin; StopSpinCycle then puts every view on the dragged orientation.
    CurrentOrientation = DetectorWindow1->Panel->EulerAngles();
    StopSpinCycle();
}

void TForm1::UpdateDetectorView(bool reload) {
    if (DetectorWindow1 == nullptr) return;
    TDetectorPanel* panel = DetectorWindow1->Panel;
    if (reload) {
        // The map shows no reflectors exactly when it holds no usable crystal set.
        const int count = CrystalEBSPpanel2->ReflectorCount();
        panel->SetCrystalSet(count > 0 ? &CurrentCrySet : nullptr);
        panel->SetReflectorCount(count);
    }
    panel->SetOrientation(CurrentOrientation);
    panel->SetkV(CrystalEBSPpanel2->kV());
    panel->SetBandGreys(CrystalEBSPpanel2->KikuchiBandGreyMin(),
                        CrystalEBSPpanel2->KikuchiBandGreyMax());
    panel->SetBandLook(detectorBandLook(*CrystalEBSPpanel2));
}
