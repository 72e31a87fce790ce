// The detector window and its settings.
#include "detector_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>

#include "detector_settings.h"
#include "pattern_overlay.h"
#include "window_logic.h"

namespace {

const char kDetectorHint[] = "Detector pattern. Drag to rotate the crystal";

}  // namespace

DetectorWindow::DetectorWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Detector pattern"));
    Panel = new TDetectorPanel(this);
    Panel->setObjectName(QStringLiteral("DetectorPanel"));
    setCentralWidget(Panel);
    QSettings settings = UserSettings();
    Panel->SetDetector(loadDetector(settings, &m_convention));

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Detector"));
    SettingsAction = menu->addAction(QStringLiteral("&Settings..."));
    SettingsAction->setStatusTip(QStringLiteral("Camera size, tilts and pattern centre"));
    connect(SettingsAction, &QAction::triggered, this, [this] { EditSettings(); });
    menu->addSeparator();
    QAction* close = menu->addAction(QStringLiteral("&Close"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    ReadOut = new QLabel(this);
    ReadOut->setObjectName(QStringLiteral("DetectorReadOut"));
    statusBar()->addWidget(ReadOut, 1);
    ShowPointerRead(QString(), QString());
    Panel->OnPointerRead = [this](QObject*, const QString& zone, const QString& plane) {
        ShowPointerRead(zone, plane);
    };
    Overlay = new PatternOverlay(this, Panel, [this] { return m_convention; });
    resize(Panel->sizeHint() +
           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height()));
}

QSettings DetectorWindow::UserSettings() {
    return QSettings(QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                     QString::fromLatin1(kSettingsApplication));
}

bool DetectorWindow::EditSettings() {
    DetectorSettingsDialog dialog(Panel->Detector(), m_convention, this);
    const bool accepted =
        RunSettingsDialog ? RunSettingsDialog(dialog) : dialog.exec() == QDialog::Accepted;
    // Applied whole or not at all: only a detector that passed every check.
    const DetectorCheck check = dialog.Check();
    if (!accepted || !check.ok) return false;
    m_convention = dialog.Convention();
    // A loaded pattern keeps its size; the PC keeps its fractions.
    TDetector shown = check.detector;
    if (Overlay->HasPattern()) {
        shown.Width = Overlay->Pattern().width;
        shown.Height = Overlay->Pattern().height;
    }
    Panel->SetDetector(shown);
    QSettings settings = UserSettings();
    saveDetector(settings, check.detector, m_convention);
    return true;
}

void DetectorWindow::PlaceBeside(const QRect& frame) {
    QPoint at(frame.right() + 1, frame.top());
    if (const QScreen* screen = QGuiApplication::screenAt(frame.center())) {
        const QRect area = screen->availableGeometry();
        const QSize outer = frameGeometry().size();
        at.setX(
            std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - outer.width())));
        at.setY(
            std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - outer.height())));
    }
    move(at);
}

void DetectorWindow::ShowPointerRead(const QString& zoneUvw, const QString& planeHkl) {
    const QString text = pickStatusText(zoneUvw, planeHkl, true);
    ReadOut->setText(text.isEmpty() ? QString::fromLatin1(kDetectorHint) : text);
}
