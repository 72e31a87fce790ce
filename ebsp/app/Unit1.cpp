// The ebsp main window: start-up, phase selection, view coupling, menus,
// dialogs and the spin cycle.
#include "Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <utility>

#include "dialog_input.h"
#include "form_layout.h"
#include "library_messages.h"
#include "loaded_phases.h"
#include "logo_art.h"
#include "orientation_turn.h"
#include "status_bar.h"
#include "view_constants.h"
#include "web_address.h"
#include "window_logic.h"

namespace {

constexpr double kDegToRad = ebsp::kRadiansPerDegree;
using ebsp::kPi;
using namespace form1;

// The long part of a "short|long" hint (the whole hint when it has no bar).
QString longHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

// The folder the library reads its setup data from, for messages: SystemDir
// of the first Orvane.conf in the system configuration folders, as the
// library looks it up.
QString setupFolderForMessage() {
#ifdef LATTIX_DEFAULT_SYSTEM_DIR
    const QString fallback = QStringLiteral(LATTIX_DEFAULT_SYSTEM_DIR);
#else
    const QString fallback = QStringLiteral("(built-in default)");
#endif
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty()) dirs = QStringLiteral("/etc/xdg");
    for (const QString& dir : dirs.split(QLatin1Char(':'))) {
        if (!dir.startsWith(QLatin1Char('/'))) continue;
        const QString file = dir + QStringLiteral("/Orvane.conf");
        if (!QFileInfo::exists(file)) continue;
        const QSettings settings(file, QSettings::IniFormat);
        const QString folder = settings.value(QStringLiteral("SystemDir")).toString();
        return folder.isEmpty() ? QStringLiteral("(empty SystemDir in %1)").arg(file) : folder;
    }
    return fallback + QStringLiteral(" (no Orvane.conf found in %1)").arg(dirs);
}

QString ioStatusText(uint16_t status) {
    switch (status) {
        case 2:
            return QStringLiteral("file not found");
        case 3:
            return QStringLiteral("folder not found");
        case 4:
            return QStringLiteral("too many open files");
        case 5:
            return QStringLiteral("access denied");
        case 106:
            return QStringLiteral("a number field is not a number");
        default:
            return QStringLiteral("input/output error %1").arg(status);
    }
}

char localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    const char c = point.isEmpty() ? '.' : point.at(0).toLatin1();
    return c == 0 ? '.' : c;
}

}  // namespace

TForm1::TForm1(PlatformServices* services, QWidget* parent) : QMainWindow(parent) {
    if (services) {
        m_services = services;
    } else {
        m_ownServices = std::make_unique<QtPlatformServices>();
        m_services = m_ownServices.get();
    }
    routeLibraryMessages(m_services);

    createControls();
    createMenus();
    createPhaseListMenu();
    wireViewEvents();

    resize(kFormWidth, kFormHeight);
    setMinimumSize(kFormMinimum, kFormMinimum);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - kFormWidth) / 2,
             area.y() + (area.height() - kFormHeight) / 2);
    }
    FormCreate();
}

TForm1::~TForm1() {
    Timer1->stop();
    stopRoutingLibraryMessages(m_services);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Hints of the controls under the mouse: the application's hint.
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// ---- Start-up and phase selection -------------------------------------------------

void TForm1::FormCreate() {
    ListBox1->clear();
    for (uint32_t i = 1; i <= 100; ++i) {
        BuildPhase(i, CurrentPhase);
        if (CurrentPhase.Name.empty()) break;
        ListBox1->addItem(QString::fromLatin1(CurrentPhase.Name));
    }
    setWindowTitle(QString::fromLatin1(kMainWindowCaption));
    CrystalEBSPpanel2->SetShowCopyright(true);
    restoreLoadedPhases();
}

bool TForm1::buildCrystalSet(int32_t laueGroup) {
    QStringList messages;
    collectLibraryMessages(&messages);
    InitCrySet2(&CurrentCrySet, "name", "ref", CurrentPhase.A, CurrentPhase.B, CurrentPhase.C,
                CurrentPhase.Alpha, CurrentPhase.Beta, CurrentPhase.Gamma, laueGroup,
                static_cast<int32_t>(CurrentPhase.SpaceGroupCode));
    collectLibraryMessages(nullptr);
    messages.removeDuplicates();

    const uint16_t ioStatus = GetInitIoStatus();
    if (ioStatus != 0) {
        QString text = QStringLiteral(
                           "The crystal set of \"%1\" could not be built: the setup data files "
                           "SYMGEN and APU could not be read (%2).\n\nFolder searched: %3")
                           .arg(QString::fromLatin1(CurrentPhase.Name), ioStatusText(ioStatus),
                                setupFolderForMessage());
        if (!messages.isEmpty()) text += QStringLiteral("\n\n") + messages.join(QLatin1Char('\n'));
        m_services->showError(this, QCoreApplication::applicationName(), text);
        return false;
    }
    for (const QString& message : messages) {
        const qsizetype colon = message.indexOf(QStringLiteral(": "));
        m_services->showError(nullptr, message.left(colon), message.mid(colon + 2));
    }
    return true;
}

void TForm1::ListBox1Click() {
    LastPhaseChangeTick = m_services->tickCount();
    BuildPhase(static_cast<uint32_t>(SelectedIndex() + 1), CurrentPhase);
    const int32_t laueGroup = buildSelectedPhase();
    Memo1->clear();
    CrystalEBSPpanel1->setEnabled(true);
    CrystalEBSPpanel2->setEnabled(true);

    if (CurrentPhase.SpaceGroupCode == 0 || CurrentPhase.Name.empty()) {
        CrystalEBSPpanel1->SetCrystalSet(nullptr, false);
        CrystalEBSPpanel2->SetCrystalSet(nullptr, false);
        return;
    }

    CrystalEBSPpanel1->SetRepaintLocked(true);
    CrystalEBSPpanel2->SetRepaintLocked(true);

    if (!buildCrystalSet(laueGroup)) {
        // A partly built set must not reach the views: they show nothing.
        Label1->clear();
        CrystalEBSPpanel1->SetCrystalSet(nullptr, false);
        CrystalEBSPpanel2->SetCrystalSet(nullptr, false);
        CrystalEBSPpanel1->SetRepaintLocked(false);
        CrystalEBSPpanel2->SetRepaintLocked(false);
        return;
    }

    if (const std::optional<QColor> colour =
            laueFaceColour(CurrentCrySet.LaueGroup, CurrentCrySet.Gamma))
        CrystalEBSPpanel1->SetFaceColour(*colour);

    for (const QString& line :
         phaseDescriptionLines(CurrentPhase, CurrentCrySet, localeDecimalSeparator()))
        Memo1->appendPlainText(line);
    QString caption;
    for (const QString& line : Memo1->toPlainText().split(QLatin1Char('\n')))
        caption += line + QStringLiteral("\r\n");
    Label1->setText(caption);

    CrystalEBSPpanel1->SetCrystalSet(&CurrentCrySet, false);
    CrystalEBSPpanel2->SetCrystalSet(&CurrentCrySet, false);
    CrystalEBSPpanel2->SetKikuchiBandGreyMax(80);
    CrystalEBSPpanel2->SetKikuchiBandGreyMin(220);
    ApplyReflectorCount(RequestedReflectorCount);
    CrystalEBSPpanel1->SetRepaintLocked(false);
    CrystalEBSPpanel2->SetRepaintLocked(false);
}

void TForm1::ApplyReflectorCount(int32_t n) {
    RequestedReflectorCount = n;
    const int cut = reflectorCut(CurrentPhase, n);
    if (cut >= 1) {
        CrystalEBSPpanel1->SetReflectorCount(0);
        CrystalEBSPpanel2->SetReflectorCount(cut);
    }
}

void TForm1::CrystalEBSPpanel1Rotate(QObject* Sender) {
    const auto* view = qobject_cast<TCrystalEBSPpanel*>(Sender);
    if (!view) view = CrystalEBSPpanel1;
    CurrentOrientation = {view->Euler1deg() * kDegToRad, view->Euler2deg() * kDegToRad,
                          view->Euler3deg() * kDegToRad};
    CrystalEBSPpanel2->SetOrientation(CurrentOrientation);
}

void TForm1::CrystalEBSPpanel2Rotate(QObject* Sender) {
    const auto* view = qobject_cast<TCrystalEBSPpanel*>(Sender);
    if (!view) view = CrystalEBSPpanel2;
    CurrentOrientation = {view->Euler1deg() * kDegToRad, view->Euler2deg() * kDegToRad,
                          view->Euler3deg() * kDegToRad};
    CrystalEBSPpanel1->SetOrientation(CurrentOrientation);
}

void TForm1::CrystalEBSPpanel2GetReflector(QObject*, int index0, int8_t& h, int8_t& k, int8_t& l,
                                           double& d_spacing, double& intensity) {
    if (index0 < 0 || index0 >= static_cast<int>(CurrentPhase.Reflectors.size())) {
        h = k = l = 0;
        d_spacing = 0.0;
        intensity = 0.0;
        return;
    }
    const TPhaseReflector& entry = CurrentPhase.Reflectors[static_cast<std::size_t>(index0)];
    h = entry.h;
    k = entry.k;
    l = entry.l;
    d_spacing = LatticeSpacing(&CurrentCrySet, h, k, l);
    intensity = entry.Intensity / 100.0;
}

void TForm1::CrystalEBSPpanel2MouseMoveCrystalDir(QObject*, const TVec3D&, int,
                                                  const QString& Plane_hkl, const QString& Zone_uvw,
                                                  bool& HighlightPlane, bool& HighlightZone,
                                                  bool& LabelPlane, bool& LabelZone) {
    const bool highlights = MenuHighlightplaneandzone1->isChecked();
    const QString status = pickStatusText(Zone_uvw, Plane_hkl, highlights);
    HighlightPlane = highlights;
    HighlightZone = highlights;
    LabelPlane = highlights;
    LabelZone = highlights;
    if (status.isEmpty()) {
        StatusBar1->setPanelText(1, QString());
        StatusBar1->setSimplePanel(true);
        StatusBar1->setSimpleText(QString::fromLatin1(kMapHint));
    } else {
        StatusBar1->setSimplePanel(false);
        StatusBar1->setPanelText(0, QString::fromLatin1(kMapHint));
        StatusBar1->setPanelText(1, status);
    }
}

void TForm1::CrystalEBSPpanel1Click(QObject*) {
    StopSpinCycle();
}

void TForm1::CrystalEBSPpanel1DblClick(QObject*) {}

void TForm1::CrystalEBSPpanel2Click(QObject*) {}

void TForm1::CrystalEBSPpanel2DblClick(QObject*) {
    BandStyleIndex = BandStyleIndex >= 2 ? 0 : BandStyleIndex + 1;
    applyBandStyleIndex();
}

void TForm1::DisplayHint(const QString& hint) {
    StatusBar1->setSimpleText(QStringLiteral(" ") + longHint(hint));
}

void TForm1::FormResize() {
    if (!Timer1 || !Image1 || !StatusBar1) return;  // resize events before the controls exist
    StopSpinCycle();
    Image1->move((width() - Image1->width() - 6) / 2, Image1->y());
    StatusBar1->setPanelWidth(0, width() - 138);
}

int TForm1::SelectedIndex() const {
    // The current row alone is no selection: Qt makes the first row current
    // when the list gets the focus.
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.front());
}

// ---- Menus, dialogs, web button ---------------------------------------------------

QAction* TForm1::BandStyleItem(int index) const {
    switch (index) {
        case 0:
            return MenuSolid1;
        case 1:
            return MenuEdges1;
        case 2:
            return MenuCentres1;
        default:
            return nullptr;
    }
}

void TForm1::applyBandStyleIndex() {
    if (BandStyleIndex < 0 || BandStyleIndex > 2) return;
    CrystalEBSPpanel2->SetKikuchiBandStyle(kBandStyles[BandStyleIndex]);
    BandStyleItem(BandStyleIndex)->setChecked(true);
}

void TForm1::PopupMenu1Popup() {
    StopSpinCycle();
}

void TForm1::PopupMenu2Popup() {
    StopSpinCycle();
}

void TForm1::MenuSolid1Click(QObject* Sender) {
    const auto* item = qobject_cast<QAction*>(Sender);
    const int tag = item ? item->data().toInt() : 0;
    for (int i = 0; i < 3; ++i) {
        if (tag == kBandStyleTags[i]) {
            BandStyleIndex = i;
            CrystalEBSPpanel2->SetKikuchiBandStyle(kBandStyles[i]);
        }
    }
    // Also puts the check back where it belongs after a click with a foreign tag.
    if (QAction* checked = BandStyleItem(BandStyleIndex)) checked->setChecked(true);
}

void TForm1::NumberofReflectors1Click() {
    QString text = QString::number(RequestedReflectorCount);
    if (!m_services->inputQuery(this, QStringLiteral("Number of Reflectors"),
                                QStringLiteral("Please enter the number of reflectors (20-200)"),
                                text))
        return;
    const int count = reflectorCountFromText(text);
    CrystalEBSPpanel1->SetRepaintLocked(true);
    ApplyReflectorCount(count);
    CrystalEBSPpanel1->SetRepaintLocked(false);
}

void TForm1::Acceleratingvoltage1Click() {
    QString text = QString::number(static_cast<qint64>(std::trunc(CrystalEBSPpanel2->kV())));
    if (!m_services->inputQuery(this, QStringLiteral("Accelerating voltage"),
                                QStringLiteral("Please enter the Accelerating voltage (1-100 kV)"),
                                text))
        return;
    const std::optional<double> kv = voltageFromText(text, QLocale());
    if (!kv) return;
    CrystalEBSPpanel2->SetkV(*kv);
}

void TForm1::Orientation1Click() {
    QString text = orientationText(CrystalEBSPpanel1->Euler1deg(), CrystalEBSPpanel1->Euler2deg(),
                                   CrystalEBSPpanel1->Euler3deg());
    if (!m_services->inputQuery(this, QStringLiteral("Crystal orientation"),
                                QStringLiteral("Orientation as Euler angles, e.g. \"90 90 0\""),
                                text))
        return;
    const std::optional<std::array<double, 3>> degrees = orientationDegFromText(text, QLocale());
    if (!degrees) return;
    CurrentOrientation = {(*degrees)[0] * kDegToRad, (*degrees)[1] * kDegToRad,
                          (*degrees)[2] * kDegToRad};
    CrystalEBSPpanel1->SetOrientation(CurrentOrientation);
    CrystalEBSPpanel2->SetOrientation(CurrentOrientation);
}

void TForm1::MenuColour1Click() {
    QColor colour = CrystalEBSPpanel1->FaceColour();
    if (m_services->chooseColour(this, colour)) CrystalEBSPpanel1->SetFaceColour(colour);
}

void TForm1::CopytoClipboard1Click() {
    CrystalEBSPpanel1->CopyToClipboard();
}

void TForm1::MenuItem3Click() {
    CrystalEBSPpanel2->CopyToClipboard();
}

void TForm1::MenuHighlightplaneandzone1Click() {
    MenuHighlightplaneandzone1->setChecked(!MenuHighlightplaneandzone1->isChecked());
    update();
}

void TForm1::SpeedButton2Click() {
    if (!m_services->openUrl(QUrl(QString::fromLatin1(kKorvellWebAddress))))
        m_services->showError(this, QCoreApplication::applicationName(),
                              QStringLiteral("Unable to open web browser "));
}

// ---- Spin cycle --------------------------------------------------------------------

void TForm1::MenuSpin1Click() {
    MenuSpin1->setChecked(!MenuSpin1->isChecked());
    if (MenuSpin1->isChecked()) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
    LastPhaseChangeTick = m_services->tickCount();
}

void TForm1::Timer1Timer() {
    QCoreApplication::processEvents();
    if (MenuSpin1->isChecked()) {
        SpinStep();
    } else {
        Timer1->stop();
    }
    const quint32 now = m_services->tickCount();
    // Unsigned subtraction: correct across the wrap of the tick at 2^32.
    if (static_cast<quint32>(now - LastPhaseChangeTick) > kPhaseChangeMs) {
        LastPhaseChangeTick = now;
        const int count = ListBox1->count();
        if (count > 0) {
            m_listSelectedByCode = true;
            ListBox1->setCurrentRow(nextSpinRow());
            m_listSelectedByCode = false;
            ListBox1Click();
        }
    }
    QCoreApplication::processEvents();
}

void TForm1::SpinStep() {
    if (!MenuSpin1->isChecked()) return;
    const TVec3D e{CrystalEBSPpanel2->Euler1deg() * kDegToRad,
                   CrystalEBSPpanel2->Euler2deg() * kDegToRad,
                   CrystalEBSPpanel2->Euler3deg() * kDegToRad};
    const TVec3D e1 = RotateAboutAxis(e, {1.0, 0.0, 0.0}, true, kPi / 173.0);
    const TVec3D e2 = RotateAboutAxis(e1, {0.1, 0.9, 0.0}, false, -kPi / 360.0);
    const TVec3D e3 = RotateAboutAxis(e2, {0.0, 0.0, 1.0}, true, kPi / 457.0);
    CurrentOrientation = e3;
    CrystalEBSPpanel1->SetOrientation(e3);
    CrystalEBSPpanel2->SetOrientation(e3);
}

TVec3D TForm1::RotateAboutAxis(const TVec3D& e, const TVec3D& axis, bool inverse, double angle) {
    return inverse ? ebsp::rotateOrientationInverse(e, axis, angle)
                   : ebsp::rotateOrientation(e, axis, angle);
}

void TForm1::StopSpinCycle() {
    MenuSpin1->setChecked(false);
    Timer1->stop();
    CrystalEBSPpanel1->SetOrientation(CurrentOrientation);
    CrystalEBSPpanel2->SetOrientation(CurrentOrientation);
}
