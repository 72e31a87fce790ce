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
#include "logo_art.h"
#include "orientation_turn.h"
#include "status_bar.h"
#include "view_constants.h"
#include "web_address.h"
#include "window_logic.h"

namespace {

constexpr double kDegToRad = ebsp::kRadiansPerDegree;
using ebsp::kPi;
constexpr int kFormWidth = 480;
constexpr int kFormHeight = 723;
constexpr int kFormMinimum = 480;
constexpr int kSideColumnWidth = 143;
constexpr int kTopBandHeight = 257;
constexpr int kSpinIntervalMs = 60;
constexpr quint32 kPhaseChangeMs = 60000;
constexpr int kBandStyleTags[3] = {345, 346, 347};
constexpr TKikuchiBandStyle kBandStyles[3] = {kbSolid, kbEdge, kbCentre};

const QString kMapHint =
    QStringLiteral("Spherical Kikuchi Map. Click to rotate. Right mouse for menu");

// Where the library's message boxes go.  Only one window is alive at a time;
// while a crystal set is being built they are collected instead, so a failed
// build shows one message, not one per file the library tried.
struct LibraryMessageRoute {
    TForm1* form = nullptr;
    QStringList* collected = nullptr;
};
LibraryMessageRoute g_route;

void LATTIX_CALL showLibraryMessage(const char* caption, const char* text) {
    try {
        const QString c = QString::fromLatin1(caption ? caption : "");
        const QString t = QString::fromLatin1(text ? text : "");
        if (g_route.collected) {
            g_route.collected->append(c + QStringLiteral(": ") + t);
        } else if (g_route.form) {
            g_route.form->Services().showError(nullptr, c, t);
        }
    } catch (...) {
        // The hook is called from inside the library: nothing may escape.
    }
}

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

// The phase list: one phase stays selected once chosen.  Qt lets Ctrl with a
// click (or Ctrl+Space) deselect in single selection, which would leave both
// views without a crystal set; such a press selects the item again instead.
class PhaseListBox : public QListWidget {
  public:
    using QListWidget::QListWidget;

    // A press on the item that is already selected (and stays so): a click
    // that changes no selection but still selects that phase again.
    std::function<void()> OnPressSelected;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        // Only the left button clicks an item; other buttons leave the selection alone.
        if (event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        const QModelIndex index = indexAt(event->position().toPoint());
        const bool wasSelected = index.isValid() && selectionModel()->isSelected(index);
        QListWidget::mousePressEvent(event);
        if (wasSelected && selectionModel()->isSelected(index) && OnPressSelected)
            OnPressSelected();
    }

    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const QItemSelectionModel::SelectionFlags command =
            QListWidget::selectionCommand(index, event);
        if (command & QItemSelectionModel::Deselect)
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        return command;
    }
};

QAction* addItem(QMenu* menu, const QString& caption, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setStatusTip(hint);
    return action;
}

}  // namespace

TForm1::TForm1(PlatformServices* services, QWidget* parent) : QMainWindow(parent) {
    if (services) {
        m_services = services;
    } else {
        m_ownServices = std::make_unique<QtPlatformServices>();
        m_services = m_ownServices.get();
    }
    g_route.form = this;
    SetMessageBoxHandler(&showLibraryMessage);

    createControls();
    createMenus();
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
    if (g_route.form == this) {
        g_route = {};
        SetMessageBoxHandler(nullptr);
    }
}

void TForm1::createControls() {
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowIcon(drawProgramIcon());

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* topBand = new QWidget(central);
    topBand->setFixedHeight(kTopBandHeight);
    auto* row = new QHBoxLayout(topBand);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    ListBox1 = new PhaseListBox(topBand);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFixedWidth(kSideColumnWidth);
    ListBox1->setStatusTip(QStringLiteral("List of phases - click to select one"));
    row->addWidget(ListBox1);

    auto* middle = new QWidget(topBand);
    auto* middleColumn = new QVBoxLayout(middle);
    middleColumn->setContentsMargins(0, 0, 0, 0);
    middleColumn->setSpacing(0);
    Label1 = new QLabel(middle);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setStatusTip(QStringLiteral("Information about current phase"));
    middleColumn->addWidget(Label1);
    Memo1 = new QPlainTextEdit(middle);
    Memo1->setReadOnly(true);
    Memo1->setVisible(false);
    CrystalEBSPpanel1 = new TCrystalEBSPpanel(middle);
    CrystalEBSPpanel1->setObjectName(QStringLiteral("CrystalEBSPpanel1"));
    CrystalEBSPpanel1->setEnabled(false);
    CrystalEBSPpanel1->setStatusTip(QStringLiteral(
        "Crystal unit cell - click and drag to rotate. Axes: a in red, b in green, c in blue"));
    CrystalEBSPpanel1->SetBackgroundColour(palette().color(QPalette::Button));
    CrystalEBSPpanel1->SetMouseRotWireFrame(false);
    CrystalEBSPpanel1->SetReflectorCount(65);
    CrystalEBSPpanel1->SetkV(20);
    CrystalEBSPpanel1->SetKikuchiBandStyle(kbCentre);
    CrystalEBSPpanel1->SetKikuchiBandGreyMin(200);
    CrystalEBSPpanel1->SetKikuchiBandGreyMax(30);
    CrystalEBSPpanel1->SetLineColour(QColor(0, 0, 0));
    CrystalEBSPpanel1->SetFaceColour(QColor(128, 128, 128));
    CrystalEBSPpanel1->SetMouseRotMaxIndices(QStringLiteral("666"));
    CrystalEBSPpanel1->SetShowCopyright(false);
    middleColumn->addWidget(CrystalEBSPpanel1, 1);
    row->addWidget(middle, 1);

    auto* right = new QWidget(topBand);
    right->setFixedWidth(kSideColumnWidth);
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 2);
    rightColumn->setSpacing(0);
    Image3 = new QLabel(right);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setPixmap(drawCompanyLogo(QSize(kSideColumnWidth, 196)));
    Image3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Image3->setStatusTip(QStringLiteral("Korvell - The EBSD company"));
    rightColumn->addWidget(Image3);
    rightColumn->addStretch(1);
    SpeedButton1 = new QToolButton(right);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setText(QString::fromLatin1(kKorvellWebAddress));
    SpeedButton1->setVisible(false);
    SpeedButton2 = new QToolButton(right);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setIcon(QIcon(drawWebButtonPicture(QSize(96, 30))));
    SpeedButton2->setIconSize(QSize(96, 30));
    SpeedButton2->setStatusTip(QStringLiteral("Shortcut to Korvell webpages"));
    rightColumn->addWidget(SpeedButton2, 0, Qt::AlignHCenter);
    row->addWidget(right);
    column->addWidget(topBand);

    CrystalEBSPpanel2 = new TCrystalEBSPpanel(central);
    CrystalEBSPpanel2->setObjectName(QStringLiteral("CrystalEBSPpanel2"));
    CrystalEBSPpanel2->setEnabled(false);
    CrystalEBSPpanel2->setStatusTip(kMapHint);
    CrystalEBSPpanel2->SetShowCrystal(false);
    CrystalEBSPpanel2->SetShowCrystalAxes(false);
    CrystalEBSPpanel2->SetShowEBSP(true);
    CrystalEBSPpanel2->SetDoubleClickCycling(false);
    CrystalEBSPpanel2->SetMouseRotWireFrame(false);
    CrystalEBSPpanel2->SetReflectorCount(65);
    CrystalEBSPpanel2->SetkV(20);
    CrystalEBSPpanel2->SetKikuchiBandStyle(kbSolid);
    CrystalEBSPpanel2->SetKikuchiBandGreyMin(200);
    CrystalEBSPpanel2->SetKikuchiBandGreyMax(30);
    CrystalEBSPpanel2->SetLineColour(QColor(0, 0, 0));
    CrystalEBSPpanel2->SetFaceColour(QColor(128, 128, 128));
    CrystalEBSPpanel2->SetMouseRotMaxIndices(QStringLiteral("666"));
    CrystalEBSPpanel2->SetShowCopyright(false);
    // The pointer read-out needs moves without a pressed button.
    CrystalEBSPpanel2->setMouseTracking(true);
    column->addWidget(CrystalEBSPpanel2, 1);

    // Hidden; kept centred by FormResize.
    Image1 = new QLabel(central);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(100, 148);
    Image1->setPixmap(drawCompanyLogo(QSize(100, 148)));
    Image1->move(0, kTopBandHeight + 8);
    Image1->setVisible(false);

    setCentralWidget(central);

    StatusBar1 = new PanelStatusBar({300, 50}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setStatusTip(QStringLiteral("Status bar"));
    StatusBar1->setSimplePanel(false);
    setStatusBar(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kSpinIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    // A selection by mouse or keyboard selects the phase; so does a press on
    // the item already selected.  Selections made by code call ListBox1Click
    // themselves.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_listSelectedByCode) return;
        ListBox1Click();
    });
    static_cast<PhaseListBox*>(ListBox1)->OnPressSelected = [this] { ListBox1Click(); };
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
}

void TForm1::createMenus() {
    PopupMenu1 = new QMenu(this);
    Orientation2 = addItem(PopupMenu1, QStringLiteral("Orientation..."),
                           QStringLiteral("Change the orientation of the crystal"));
    MenuColour1 =
        addItem(PopupMenu1, QStringLiteral("Colour..."), QStringLiteral("Set the crystal colour"));
    N2 = PopupMenu1->addSeparator();
    CopytoClipboard1 = addItem(PopupMenu1, QStringLiteral("Copy to Clipboard"),
                               QStringLiteral("Copy the unit cell image to the clipboard"));

    PopupMenu2 = new QMenu(this);
    BandStyleGroup = new QActionGroup(this);
    BandStyleGroup->setExclusive(true);
    MenuSolid1 = addItem(PopupMenu2, QStringLiteral("Solid Kikuchi bands"),
                         QStringLiteral("Display the spherical Kikuchi map using solid bands"));
    MenuEdges1 = addItem(PopupMenu2, QStringLiteral("Edges"),
                         QStringLiteral("Display the spherical Kikuchi map using band edges"));
    MenuCentres1 = addItem(PopupMenu2, QStringLiteral("Centres"),
                           QStringLiteral("Display the spherical Kikuchi map using band centres"));
    QAction* radioItems[3] = {MenuSolid1, MenuEdges1, MenuCentres1};
    for (int i = 0; i < 3; ++i) {
        radioItems[i]->setCheckable(true);
        radioItems[i]->setData(kBandStyleTags[i]);
        BandStyleGroup->addAction(radioItems[i]);
        QAction* item = radioItems[i];
        connect(item, &QAction::triggered, this, [this, item] { MenuSolid1Click(item); });
    }
    MenuSolid1->setChecked(true);
    N3 = PopupMenu2->addSeparator();
    MenuItem1 =
        addItem(PopupMenu2, QStringLiteral("Number of Reflectors..."),
                QStringLiteral("Choose the number of reflectors for the spherical Kikuchi map"));
    Acceleratingvoltage1 = addItem(PopupMenu2, QStringLiteral("Accelerating voltage..."),
                                   QStringLiteral("Set the accelerating voltage in kV"));
    N1 = PopupMenu2->addSeparator();
    Orientation1 = addItem(PopupMenu2, QStringLiteral("Orientation..."),
                           QStringLiteral("Change the orientation of the crystal"));
    MenuSpin1 = addItem(PopupMenu2, QStringLiteral("Active spin cycle"),
                        QStringLiteral("Starts the simulation spinning"));
    MenuSpin1->setCheckable(true);
    N4 = PopupMenu2->addSeparator();
    MenuHighlightplaneandzone1 =
        addItem(PopupMenu2, QStringLiteral("Mouse highlights"),
                QStringLiteral("Highlights the plane and/or zone under the mouse."));
    MenuHighlightplaneandzone1->setCheckable(true);
    MenuHighlightplaneandzone1->setVisible(false);
    MenuItem2 = PopupMenu2->addSeparator();
    MenuItem2->setVisible(false);
    MenuItem3 = addItem(PopupMenu2, QStringLiteral("Copy to Clipboard"),
                        QStringLiteral("Copy the spherical Kikuchi map image to the clipboard"));

    connect(Orientation2, &QAction::triggered, this, &TForm1::Orientation1Click);
    connect(MenuColour1, &QAction::triggered, this, &TForm1::MenuColour1Click);
    connect(CopytoClipboard1, &QAction::triggered, this, &TForm1::CopytoClipboard1Click);
    connect(MenuItem1, &QAction::triggered, this, &TForm1::NumberofReflectors1Click);
    connect(Acceleratingvoltage1, &QAction::triggered, this, &TForm1::Acceleratingvoltage1Click);
    connect(Orientation1, &QAction::triggered, this, &TForm1::Orientation1Click);
    connect(MenuItem3, &QAction::triggered, this, &TForm1::MenuItem3Click);
    // Qt flips a checkable item before it reports the click; these two
    // handlers own the toggle, so the automatic flip is undone first.
    connect(MenuSpin1, &QAction::triggered, this, [this] {
        MenuSpin1->setChecked(!MenuSpin1->isChecked());
        MenuSpin1Click();
    });
    connect(MenuHighlightplaneandzone1, &QAction::triggered, this, [this] {
        MenuHighlightplaneandzone1->setChecked(!MenuHighlightplaneandzone1->isChecked());
        MenuHighlightplaneandzone1Click();
    });

    connect(PopupMenu1, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);
    connect(PopupMenu2, &QMenu::aboutToShow, this, &TForm1::PopupMenu2Popup);
    // Menus are windows of their own, so their status tips never reach this
    // window's event(); the highlighted item's hint is passed on here.
    for (QMenu* menu : {PopupMenu1, PopupMenu2}) {
        connect(menu, &QMenu::hovered, this,
                [this](QAction* action) { DisplayHint(action->statusTip()); });
    }

    CrystalEBSPpanel1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CrystalEBSPpanel1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(CrystalEBSPpanel1->mapToGlobal(pos)); });
    CrystalEBSPpanel2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CrystalEBSPpanel2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu2->popup(CrystalEBSPpanel2->mapToGlobal(pos)); });
}

void TForm1::wireViewEvents() {
    CrystalEBSPpanel1->OnRotate = [this](QObject* sender) { CrystalEBSPpanel1Rotate(sender); };
    CrystalEBSPpanel1->OnClick = [this](QObject* sender) { CrystalEBSPpanel1Click(sender); };
    CrystalEBSPpanel1->OnDblClick = [this](QObject* sender) { CrystalEBSPpanel1DblClick(sender); };
    CrystalEBSPpanel2->OnRotate = [this](QObject* sender) { CrystalEBSPpanel2Rotate(sender); };
    CrystalEBSPpanel2->OnGetReflector = [this](QObject* sender, int index0, int8_t& h, int8_t& k,
                                               int8_t& l, double& d, double& intensity) {
        CrystalEBSPpanel2GetReflector(sender, index0, h, k, l, d, intensity);
    };
    CrystalEBSPpanel2->OnMouseMoveCrystalDir =
        [this](QObject* sender, const TVec3D& dir, int planeNo, const QString& plane,
               const QString& zone, bool& hp, bool& hz, bool& lp, bool& lz) {
            CrystalEBSPpanel2MouseMoveCrystalDir(sender, dir, planeNo, plane, zone, hp, hz, lp, lz);
        };
    CrystalEBSPpanel2->OnClick = [this](QObject* sender) { CrystalEBSPpanel2Click(sender); };
    CrystalEBSPpanel2->OnDblClick = [this](QObject* sender) { CrystalEBSPpanel2DblClick(sender); };
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
}

bool TForm1::buildCrystalSet() {
    QStringList messages;
    g_route.collected = &messages;
    InitCrySet2(&CurrentCrySet, "name", "ref", CurrentPhase.A, CurrentPhase.B, CurrentPhase.C,
                CurrentPhase.Alpha, CurrentPhase.Beta, CurrentPhase.Gamma,
                LaueIndexOfCode(CurrentPhase.SpaceGroupCode),
                static_cast<int32_t>(CurrentPhase.SpaceGroupCode));
    g_route.collected = nullptr;
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

    if (!buildCrystalSet()) {
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
        StatusBar1->setSimpleText(kMapHint);
    } else {
        StatusBar1->setSimplePanel(false);
        StatusBar1->setPanelText(0, kMapHint);
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
            ListBox1->setCurrentRow((SelectedIndex() + 1) % count);
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
