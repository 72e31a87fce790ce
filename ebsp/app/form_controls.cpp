// The main window's controls, menus and view events: built once by the constructor.
#include "Unit1.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "form_layout.h"
#include "logo_art.h"
#include "phase_list_box.h"
#include "status_bar.h"
#include "view_setup.h"
#include "web_address.h"

using namespace form1;

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setStatusTip(hint);
    return action;
}

}  // namespace

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
    setUpCellView(*CrystalEBSPpanel1, palette().color(QPalette::Button));
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
    setUpMapView(*CrystalEBSPpanel2);
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

    SavePicture1 =
        ebsp::addSavePictureItem(PopupMenu1, *CrystalEBSPpanel1,
                                 QStringLiteral("Save the unit cell picture to a PNG or SVG file"));
    SavePicture2 = ebsp::addSavePictureItem(
        PopupMenu2, *CrystalEBSPpanel2,
        QStringLiteral("Save the spherical Kikuchi map picture to a PNG or SVG file"));
    connect(SavePicture1, &QAction::triggered, this,
            [this] { SavePictureClick(CrystalEBSPpanel1); });
    connect(SavePicture2, &QAction::triggered, this,
            [this] { SavePictureClick(CrystalEBSPpanel2); });
    PictureQuestions = ebsp::qtSavePictureQuestions();
    PictureQuestions.text = [this](QWidget* parent, const QString& caption, const QString& prompt,
                                   QString& text) {
        return m_services->inputQuery(parent, caption, prompt, text);
    };
    PictureQuestions.error = [this](QWidget* parent, const QString& caption,
                                    const QString& message) {
        m_services->showError(parent, caption, message);
    };

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

void TForm1::SavePictureClick(TCrystalEBSPpanel* view) {
    StopSpinCycle();
    ebsp::savePictureInteractively(this, *view, PictureQuestions);
}
