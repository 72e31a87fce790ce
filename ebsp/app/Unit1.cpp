// The ebsp main window: start-up, phase selection, view coupling, menus,
// dialogs and the spin cycle.
#include "Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QScreen>
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
#include "setup_failure.h"
#include "status_bar.h"
#include "view_constants.h"
#include "view_setup.h"
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
    createDetectorItem();

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

    if (GetInitIoStatus() != 0) {
        // One message per selection: the library says which folder and file it tried and
        // what failed; its own boxes of the same call are folded in.
        std::vector<std::string> boxes;
        for (const QString& message : messages) boxes.push_back(message.toLocal8Bit().toStdString());
        const std::string text = lastSetupFailureMessage(CurrentPhase.Name, boxes);
        m_services->showError(this, QCoreApplication::applicationName(),
                              QString::fromLocal8Bit(text.c_str()));
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
    const auto detectorFollows = qScopeGuard([this] { UpdateDetectorView(true); });
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
    UpdateDetectorView(true);
}

void TForm1::CrystalEBSPpanel1Rotate(QObject* Sender) {
    const auto* view = qobject_cast<TCrystalEBSPpanel*>(Sender);
    if (!view) view = CrystalEBSPpanel1;
    CurrentOrientation = {view->Euler1deg() * kDegToRad, view->Euler2deg() * kDegToRad,
                          view->Euler3deg() * kDegToRad};
    CrystalEBSPpanel2->SetOrientation(CurrentOrientation);
    UpdateDetectorView(false);
}

void TForm1::CrystalEBSPpanel2Rotate(QObject* Sender) {
    const auto* view = qobject_cast<TCrystalEBSPpanel*>(Sender);
    if (!view) view = CrystalEBSPpanel2;
    CurrentOrientation = {view->Euler1deg() * kDegToRad, view->Euler2deg() * kDegToRad,
                          view->Euler3deg() * kDegToRad};
    CrystalEBSPpanel1->SetOrientation(CurrentOrientation);
    UpdateDetectorView(false);
}

void TForm1::CrystalEBSPpanel2GetReflector(QObject*, int index0, int8_t& h, int8_t& k, int8_t& l,
                                           double& d_spacing, double& intensity) {
    supplyPhaseReflector(CurrentPhase, CurrentCrySet, index0, h, k, l, d_spacing, intensity);
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
    UpdateDetectorView(false);
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
    UpdateDetectorView(false);
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
    UpdateDetectorView(false);
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
    UpdateDetectorView(false);
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
    UpdateDetectorView(false);
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
    UpdateDetectorView(false);
}
