// TForm1 driven as a user would, with fake platform services: the phase
// list, phase selection, coupled views, status texts, dialogs, band styles,
// the spin cycle and the web button.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>

#include "app_test_fixture.h"
#include "panel_probe.h"
#include "status_bar.h"
#include "web_address.h"

namespace {

constexpr double kRadToDeg = 57.29577951308232;

class AppWindow : public AppWindowFixture {
  protected:
    void select(const QString& name) {
        const int row = rowOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        selectRow(row);
    }
    // As a click does it: a new selection runs ListBox1Click through the
    // list's signal, a click on the selected item runs it directly.
    void selectRow(int row) {
        if (form->SelectedIndex() == row) {
            form->ListBox1Click();
        } else {
            form->ListBox1->setCurrentRow(row);
        }
        ASSERT_EQ(form->SelectedIndex(), row);
    }
    static std::array<double, 3> euler(const TCrystalEBSPpanel* view) {
        return {view->Euler1deg(), view->Euler2deg(), view->Euler3deg()};
    }
    void expectViewsAt(double e1, double e2, double e3) {
        for (const TCrystalEBSPpanel* view : {form->CrystalEBSPpanel1, form->CrystalEBSPpanel2}) {
            EXPECT_NEAR(view->Euler1deg(), e1, 1e-9) << view->objectName().toStdString();
            EXPECT_NEAR(view->Euler2deg(), e2, 1e-9) << view->objectName().toStdString();
            EXPECT_NEAR(view->Euler3deg(), e3, 1e-9) << view->objectName().toStdString();
        }
    }
    void expectViewsAgree() {
        const auto a = euler(form->CrystalEBSPpanel1);
        const auto b = euler(form->CrystalEBSPpanel2);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(a[i], b[i], 1e-9) << i;
        EXPECT_NEAR(form->CurrentOrientation.x * kRadToDeg, a[0], 1e-9);
        EXPECT_NEAR(form->CurrentOrientation.y * kRadToDeg, a[1], 1e-9);
        EXPECT_NEAR(form->CurrentOrientation.z * kRadToDeg, a[2], 1e-9);
    }
    void drag(TCrystalEBSPpanel* view, QPoint from, QPoint to) {
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(view, from + (to - from) * i / steps);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    }
    void startSpin() {
        form->MenuSpin1Click();
        ASSERT_TRUE(form->MenuSpin1->isChecked());
        ASSERT_TRUE(form->Timer1->isActive());
    }
};

// ---- Start-up -----------------------------------------------------------------------

TEST_F(AppWindow, StartsWithTheNineteenPhasesAndDisabledEmptyViews) {
    const QStringList expected = {"Alumina",
                                  "Aluminium",
                                  "Iron bcc",
                                  "Iron fcc",
                                  "Titanium",
                                  "YBa2Cu3O7",
                                  "SiC [2H]",
                                  "Zirconia, tetragonal",
                                  "Zirconia, monoclinic",
                                  "Lead Titanate",
                                  "Quartz",
                                  "Forsterite",
                                  "Pyrite",
                                  "Cordierite",
                                  "Andalusite",
                                  "Kyanite",
                                  "Sillimanite",
                                  "Pigeonite",
                                  "Augite"};
    QStringList listed;
    for (int i = 0; i < form->ListBox1->count(); ++i)
        listed << form->ListBox1->item(i)->text();
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(form->SelectedIndex(), -1);
    EXPECT_FALSE(form->CrystalEBSPpanel1->isEnabled());
    EXPECT_FALSE(form->CrystalEBSPpanel2->isEnabled());
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), nullptr);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Korvell - EBSP simulator"));
    EXPECT_TRUE(form->CrystalEBSPpanel2->ShowCopyright());
    EXPECT_FALSE(form->CrystalEBSPpanel1->ShowCopyright());
    EXPECT_EQ(form->width(), 480);
    EXPECT_EQ(form->height(), 723);
    EXPECT_EQ(form->minimumSize(), QSize(480, 480));
    EXPECT_EQ(form->ListBox1->width(), 143);
    EXPECT_TRUE(form->MenuSolid1->isChecked());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 60);
    EXPECT_FALSE(form->StatusBar1->simplePanel());
}

// ---- Phase selection ------------------------------------------------------------------

TEST_F(AppWindow, EveryPhaseBuildsWithoutASetupError) {
    for (int row = 0; row < form->ListBox1->count(); ++row) {
        selectRow(row);
        const std::string name = form->ListBox1->item(row)->text().toStdString();
        EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet)
            << name;
        EXPECT_GE(form->CurrentCrySet.LaueGroup, 1) << name;
        EXPECT_GT(form->CrystalEBSPpanel2->ReflectorCount(), 50) << name;
        EXPECT_EQ(form->Label1->text().count(QStringLiteral("\r\n")), 4) << name;
        EXPECT_FALSE(form->Label1->text().contains(QStringLiteral("[Error]"))) << name;
    }
    EXPECT_TRUE(services.errors.empty());
}

TEST_F(AppWindow, AluminaShowsItsLinesAquaCellAnd98Reflectors) {
    select(QStringLiteral("Alumina"));
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Phase=Alumina\r\nSpace Group=167, R -3 c\r\n"
                                                      "Crystal System=Trigonal\r\n"
                                                      "a=4.754 c=12.98\u00C5 gamma=120\u00B0\r\n"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 255));
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), 98);
    EXPECT_EQ(form->CrystalEBSPpanel1->ReflectorCount(), 0);
    EXPECT_TRUE(form->CrystalEBSPpanel1->isEnabled());
    EXPECT_TRUE(form->CrystalEBSPpanel2->isEnabled());
    EXPECT_FALSE(form->CrystalEBSPpanel1->RepaintLocked());
    EXPECT_FALSE(form->CrystalEBSPpanel2->RepaintLocked());
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), &form->CurrentCrySet);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    EXPECT_EQ(form->CrystalEBSPpanel2->KikuchiBandGreyMax(), 80);
    EXPECT_EQ(form->CrystalEBSPpanel2->KikuchiBandGreyMin(), 220);
    EXPECT_EQ(form->CurrentCrySet.LaueGroup, 7);
    EXPECT_TRUE(services.errors.empty());
}

TEST_F(AppWindow, YBa2Cu3O7IsLaueCodedAndRed) {
    select(QStringLiteral("YBa2Cu3O7"));
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Phase=YBa2Cu3O7\r\nLaue Group=3 (mmm)\r\n"
                                                      "Crystal System=Orthorhombic\r\n"
                                                      "a=3.823 b=3.886 c=11.68\u00C5\r\n"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(255, 0, 0));
    EXPECT_EQ(form->CurrentCrySet.LaueGroup, 3);
}

TEST_F(AppWindow, KyaniteIsTriclinicAndBlue) {
    select(QStringLiteral("Kyanite"));
    EXPECT_EQ(form->Label1->text(),
              QString::fromUtf8(
                  "Phase=Kyanite\r\nSpace Group=2, P-1\r\nCrystal System=Triclinic\r\n"
                  "a=7.124 b=7.856 c=5.577\u00C5 alpha=89.99 beta=101.2 gamma=105.9\u00B0\r\n"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 0, 255));
}

TEST_F(AppWindow, IronBccSuppliesItsReflectorsWithLatticeSpacings) {
    select(QStringLiteral("Iron bcc"));
    int8_t h = 9, k = 9, l = 9;
    double d = 0, intensity = 0;
    form->CrystalEBSPpanel2GetReflector(form->CrystalEBSPpanel2, 0, h, k, l, d, intensity);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(k, -1);
    EXPECT_EQ(l, 0);
    EXPECT_DOUBLE_EQ(intensity, 100.0);
    EXPECT_NEAR(d, double(2.866f) / std::sqrt(2.0), 1e-9);  // cubic: a / sqrt(h2 + k2 + l2)
    // The map holds what the handler hands out.
    const int count = form->CrystalEBSPpanel2->ReflectorCount();
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        const ebsp::Reflector& r = viewtest::probe(form->CrystalEBSPpanel2).ReflectorRecord(i);
        const TPhaseReflector& entry = form->CurrentPhase.Reflectors[i];
        EXPECT_EQ(r.h, entry.h);
        EXPECT_EQ(r.k, entry.k);
        EXPECT_EQ(r.l, entry.l);
        const double sum = entry.h * entry.h + entry.k * entry.k + entry.l * entry.l;
        EXPECT_NEAR(r.d, double(2.866f) / std::sqrt(sum), 1e-9);
        EXPECT_DOUBLE_EQ(r.intensity, entry.Intensity / 100.0);
    }
    form->ApplyReflectorCount(20);
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), 9);
    EXPECT_EQ(form->RequestedReflectorCount, 20);
}

TEST_F(AppWindow, ClicksAndArrowKeysInTheListSelectPhases) {
    QListWidget* list = form->ListBox1;
    const auto clickRow = [&](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    };
    clickRow(2);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Iron bcc"));
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    services.colourAnswer = QColor(1, 2, 3);
    form->MenuColour1Click();
    // A click on the phase already selected selects it again: the cell colour comes back.
    clickRow(2);
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 0));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Iron fcc"));
    EXPECT_EQ(form->SelectedIndex(), 3);
}

TEST_F(AppWindow, ACtrlClickOnTheSelectedPhaseKeepsItSelected) {
    QListWidget* list = form->ListBox1;
    const QPoint centre = list->visualItemRect(list->item(4)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_EQ(form->SelectedIndex(), 4);
    // A phase list always keeps its phase: Ctrl does not turn a click into a deselection.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
    EXPECT_EQ(form->SelectedIndex(), 4);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Titanium"));
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), &form->CurrentCrySet);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(form->SelectedIndex(), 4);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
}

TEST_F(AppWindow, AClickOnThePhaseReachedByDraggingInTheListSelectsItAgain) {
    QListWidget* list = form->ListBox1;
    const QPoint first = list->visualItemRect(list->item(2)).center();
    const QPoint second = list->visualItemRect(list->item(4)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, first);
    QMouseEvent move(QEvent::MouseMove, QPointF(second),
                     list->viewport()->mapToGlobal(QPointF(second)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, second);
    ASSERT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Titanium"));
    services.colourAnswer = QColor(1, 2, 3);
    form->MenuColour1Click();
    // The next click on the selected phase selects it again: the crystal-system colour returns.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 255));
}

TEST_F(AppWindow, OnlyTheLeftButtonSelectsAPhase) {
    QListWidget* list = form->ListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    ASSERT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Aluminium"));
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(list->viewport(), button, {},
                          list->visualItemRect(list->item(6)).center());
        EXPECT_EQ(form->SelectedIndex(), 1) << button;
        EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Aluminium"))
            << button;
    }
}

TEST_F(AppWindow, NoSelectionClearsTheViewsAndKeepsTheLabel) {
    select(QStringLiteral("Pyrite"));
    const QString label = form->Label1->text();
    form->ListBox1->clearSelection();
    form->ListBox1Click();
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), nullptr);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), nullptr);
    EXPECT_TRUE(form->CrystalEBSPpanel1->isEnabled());
    EXPECT_EQ(form->Label1->text(), label);
}

TEST_F(AppWindow, ARequestWithNoCutKeepsTheReflectors) {
    select(QStringLiteral("Aluminium"));
    const int before = form->CrystalEBSPpanel2->ReflectorCount();
    form->ApplyReflectorCount(1);
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), before);
    EXPECT_EQ(form->RequestedReflectorCount, 1);
}

// Points the library at another configuration for the lifetime of the object.
class ConfigFolderOverride {
  public:
    explicit ConfigFolderOverride(const QString& dirs) : m_old(qgetenv("XDG_CONFIG_DIRS")) {
        qputenv("XDG_CONFIG_DIRS", dirs.toLocal8Bit());
    }
    ~ConfigFolderOverride() { qputenv("XDG_CONFIG_DIRS", m_old); }

  private:
    QByteArray m_old;
};

TEST_F(AppWindow, UnreadableSetupDataShowOneMessageAndAttachNothing) {
    select(QStringLiteral("Pyrite"));
    ASSERT_TRUE(services.errors.empty());
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString emptyFolder = config.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(emptyFolder));
    {
        QFile conf(config.filePath(QStringLiteral("Orvane.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("[General]\nSystemDir=%1\n").arg(emptyFolder).toUtf8());
    }
    {
        const ConfigFolderOverride override(config.path());
        select(QStringLiteral("Alumina"));
    }
    ASSERT_EQ(services.errors.size(), 1u);
    EXPECT_TRUE(services.errors[0].text.contains(QStringLiteral("SYMGEN")))
        << services.errors[0].text.toStdString();
    EXPECT_TRUE(services.errors[0].text.contains(emptyFolder))
        << services.errors[0].text.toStdString();
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), nullptr);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), nullptr);
    EXPECT_FALSE(form->CrystalEBSPpanel1->RepaintLocked());
    EXPECT_FALSE(form->CrystalEBSPpanel2->RepaintLocked());
    EXPECT_TRUE(form->Label1->text().isEmpty());

    // Without any Orvane.conf the library's own complaints come in the same one message.
    services.errors.clear();
    {
        const ConfigFolderOverride override(config.filePath(QStringLiteral("nowhere")));
        select(QStringLiteral("Alumina"));
    }
    ASSERT_EQ(services.errors.size(), 1u);
    EXPECT_EQ(services.errors[0].text.count(QStringLiteral("Cannot read registry entry SystemDir")),
              1)
        << services.errors[0].text.toStdString();

    // With the setup data back the phase shows again.
    services.errors.clear();
    select(QStringLiteral("Alumina"));
    EXPECT_TRUE(services.errors.empty());
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), 98);
}

// A SystemDir with a comma (which QSettings would read as a list) is named as the library
// read it, in one message per selection.
TEST_F(AppWindow, SetupMessageNamesTheFolderTheLibrarySearched) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString folder = config.filePath(QStringLiteral("orvane,data"));
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        QFile conf(config.filePath(QStringLiteral("Orvane.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("[General]\rSystemDir=%1\r").arg(folder).toUtf8());
    }
    {
        const ConfigFolderOverride override(config.path());
        select(QStringLiteral("Alumina"));
    }
    ASSERT_EQ(services.errors.size(), 1u);
    const QString text = services.errors[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("SYMGEN not found in ") + folder)) << text.toStdString();
}

// ---- Coupled views ------------------------------------------------------------------------

TEST_F(AppWindow, DraggingEitherViewTurnsTheOther) {
    select(QStringLiteral("Iron bcc"));
    TCrystalEBSPpanel* map = form->CrystalEBSPpanel2;
    TCrystalEBSPpanel* cell = form->CrystalEBSPpanel1;
    const QPoint c = map->rect().center();
    drag(map, c, c + QPoint(40, 25));
    EXPECT_GT(std::abs(map->Euler1deg()) + std::abs(map->Euler2deg()) + std::abs(map->Euler3deg()),
              1.0);
    expectViewsAgree();

    const auto afterMap = euler(map);
    const QPoint cc = cell->rect().center();
    drag(cell, cc, cc + QPoint(-20, 30));
    const auto afterCell = euler(cell);
    EXPECT_NE(afterCell, afterMap);
    expectViewsAgree();
}

TEST_F(AppWindow, ANewPhaseKeepsTheOrientation) {
    select(QStringLiteral("Iron bcc"));
    const QPoint c = form->CrystalEBSPpanel2->rect().center();
    drag(form->CrystalEBSPpanel2, c, c + QPoint(30, -20));
    const auto before = euler(form->CrystalEBSPpanel2);
    select(QStringLiteral("Quartz"));
    expectViewsAt(before[0], before[1], before[2]);
}

// ---- Status bar ------------------------------------------------------------------------------

TEST_F(AppWindow, PointerTextsWithHighlightsOffAndOn) {
    struct Case {
        const char* zone;
        const char* plane;
        bool highlights;
        const char* panel1;  // nullptr: simple mode with the map's hint
    } cases[] = {
        {"[1-10]", "", false, " [1-10] crystal direction"},
        {"[1-10]", "(110)", false, " [1-10] crystal direction"},
        {"", "(110)", false, nullptr},
        {"", "", false, nullptr},
        {"[1-10]", "", true, " [1-10] crystal direction"},
        {"[1-10]", "(110)", true, " [1-10] zone, (110) plane"},
        {"", "(110)", true, " (110) crystal plane"},
        {"", "", true, nullptr},
    };
    for (const Case& c : cases) {
        form->MenuHighlightplaneandzone1->setChecked(c.highlights);
        bool flags[4] = {!c.highlights, !c.highlights, !c.highlights, !c.highlights};
        form->CrystalEBSPpanel2MouseMoveCrystalDir(
            form->CrystalEBSPpanel2, TVec3D{0, 0, 1}, -1, QString::fromLatin1(c.plane),
            QString::fromLatin1(c.zone), flags[0], flags[1], flags[2], flags[3]);
        for (bool flag : flags)
            EXPECT_EQ(flag, c.highlights);
        PanelStatusBar* bar = form->StatusBar1;
        if (c.panel1) {
            EXPECT_FALSE(bar->simplePanel()) << c.zone << c.plane;
            EXPECT_EQ(bar->panelText(0), kMapHint);
            EXPECT_EQ(bar->panelText(1), QString::fromLatin1(c.panel1));
        } else {
            EXPECT_TRUE(bar->simplePanel()) << c.zone << c.plane;
            EXPECT_EQ(bar->simpleText(), kMapHint);
            EXPECT_EQ(bar->panelText(1), QString());
        }
    }
}

TEST_F(AppWindow, MovingThePointerOverTheMapReportsIntoTheStatusBar) {
    select(QStringLiteral("Iron bcc"));
    TCrystalEBSPpanel* map = form->CrystalEBSPpanel2;
    // Outside the sphere's disc the view reports nothing on every move.
    QTest::mouseMove(map, QPoint(2, 2));
    EXPECT_TRUE(form->StatusBar1->simplePanel());
    EXPECT_EQ(form->StatusBar1->simpleText(), kMapHint);
    // The centre at orientation (0, 0, 0) looks along [001], a low-index zone.
    QTest::mouseMove(map, map->rect().center());
    EXPECT_FALSE(form->StatusBar1->simplePanel());
    EXPECT_EQ(form->StatusBar1->panelText(0), kMapHint);
    EXPECT_TRUE(form->StatusBar1->panelText(1).endsWith(QStringLiteral(" crystal direction")))
        << form->StatusBar1->panelText(1).toStdString();
}

TEST_F(AppWindow, HintsReachTheSimpleText) {
    QStatusTipEvent tip(QStringLiteral("List of phases - click to select one"));
    QApplication::sendEvent(form->ListBox1, &tip);
    EXPECT_EQ(form->StatusBar1->simpleText(),
              QStringLiteral(" List of phases - click to select one"));
    form->DisplayHint(QStringLiteral("short|long part"));
    EXPECT_EQ(form->StatusBar1->simpleText(), QStringLiteral(" long part"));
    emit form->PopupMenu2->hovered(form->MenuSpin1);
    EXPECT_EQ(form->StatusBar1->simpleText(), QStringLiteral(" Starts the simulation spinning"));
}

TEST_F(AppWindow, ResizeRecentresTheHiddenPictureAndWidensPanelZero) {
    form->resize(700, 600);
    QApplication::processEvents();
    EXPECT_EQ(form->Image1->x(), (700 - 100 - 6) / 2);
    EXPECT_EQ(form->StatusBar1->panelWidth(0), 700 - 138);
    EXPECT_FALSE(form->Image1->isVisible());
}

// ---- Dialogs --------------------------------------------------------------------------------

TEST_F(AppWindow, ReflectorCountDialogClampsAndRoundsToFamilies) {
    select(QStringLiteral("Kyanite"));  // 200 single-member families
    services.answers = {QStringLiteral("250")};
    form->NumberofReflectors1Click();
    ASSERT_EQ(services.queries.size(), 1u);
    EXPECT_EQ(services.queries[0].caption, QStringLiteral("Number of Reflectors"));
    EXPECT_EQ(services.queries[0].prompt,
              QStringLiteral("Please enter the number of reflectors (20-200)"));
    EXPECT_EQ(services.queries[0].initialText, QStringLiteral("100"));
    EXPECT_EQ(form->RequestedReflectorCount, 200);
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), 199);
    EXPECT_FALSE(form->CrystalEBSPpanel1->RepaintLocked());

    services.answers = {QStringLiteral("a word")};
    form->NumberofReflectors1Click();
    EXPECT_EQ(services.queries[1].initialText, QStringLiteral("200"));
    EXPECT_EQ(form->RequestedReflectorCount, 20);
    EXPECT_EQ(form->CrystalEBSPpanel2->ReflectorCount(), 19);

    services.answers = {std::nullopt};  // cancelled
    form->NumberofReflectors1Click();
    EXPECT_EQ(form->RequestedReflectorCount, 20);
}

TEST_F(AppWindow, VoltageDialogClampsAndIgnoresWords) {
    select(QStringLiteral("Aluminium"));
    services.answers = {QStringLiteral("0.5"), QStringLiteral("1000"), QStringLiteral("word"),
                        QStringLiteral(" 35.5 ")};
    form->Acceleratingvoltage1Click();
    EXPECT_EQ(services.queries[0].caption, QStringLiteral("Accelerating voltage"));
    EXPECT_EQ(services.queries[0].prompt,
              QStringLiteral("Please enter the Accelerating voltage (1-100 kV)"));
    EXPECT_EQ(services.queries[0].initialText, QStringLiteral("20"));
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel2->kV(), 1.0);
    form->Acceleratingvoltage1Click();
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel2->kV(), 100.0);
    form->Acceleratingvoltage1Click();
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel2->kV(), 100.0);
    form->Acceleratingvoltage1Click();
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel2->kV(), 35.5);
    form->Acceleratingvoltage1Click();  // no answer left: cancelled
    EXPECT_EQ(services.queries.back().initialText, QStringLiteral("35"));
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel2->kV(), 35.5);
    EXPECT_DOUBLE_EQ(form->CrystalEBSPpanel1->kV(), 20.0);
}

TEST_F(AppWindow, OrientationDialogSetsBothViews) {
    select(QStringLiteral("Iron fcc"));
    services.answers = {QStringLiteral("90,90,0")};
    form->Orientation1Click();
    EXPECT_EQ(services.queries[0].caption, QStringLiteral("Crystal orientation"));
    EXPECT_EQ(services.queries[0].prompt,
              QStringLiteral("Orientation as Euler angles, e.g. \"90 90 0\""));
    EXPECT_EQ(services.queries[0].initialText, QStringLiteral("0  0  0"));
    expectViewsAt(90, 90, 0);
    expectViewsAgree();

    services.answers = {QStringLiteral("10 20")};
    form->Orientation1Click();
    EXPECT_EQ(services.queries[1].initialText, QStringLiteral("90  90  0"));
    expectViewsAt(90, 90, 0);

    services.answers = {QStringLiteral("12.5 25 37.5 99")};
    form->Orientation1Click();
    expectViewsAt(12.5, 25, 37.5);

    services.answers = {QStringLiteral("90 90 0")};
    form->Orientation1Click();
    expectViewsAt(90, 90, 0);
}

TEST_F(AppWindow, OpeningAContextMenuAfterAnOrientationKeepsIt) {
    select(QStringLiteral("Titanium"));
    services.answers = {QStringLiteral("30 40 50")};
    form->Orientation1Click();
    for (QMenu* menu : {form->PopupMenu1, form->PopupMenu2}) {
        menu->popup(form->mapToGlobal(QPoint(100, 400)));
        QApplication::processEvents();
        menu->close();
        expectViewsAt(30, 40, 50);
    }
}

TEST_F(AppWindow, ColourDialogPaintsTheCellUntilTheNextSelection) {
    select(QStringLiteral("Pyrite"));
    services.colourAnswer = QColor(10, 20, 30);
    form->MenuColour1Click();
    ASSERT_EQ(services.colourPresets.size(), 1u);
    EXPECT_EQ(services.colourPresets[0], QColor(0, 255, 0));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(10, 20, 30));
    services.colourAnswer.reset();
    form->MenuColour1Click();
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(10, 20, 30));
    select(QStringLiteral("Pyrite"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 0));
}

TEST_F(AppWindow, CopyPutsTheViewPicturesOnTheClipboard) {
    select(QStringLiteral("Alumina"));
    QApplication::processEvents();
    form->MenuItem3Click();
    QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), form->CrystalEBSPpanel2->size());
    form->CopytoClipboard1Click();
    copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), form->CrystalEBSPpanel1->size());
}

// ---- Band styles ----------------------------------------------------------------------------

TEST_F(AppWindow, ThreeDoubleClicksOnTheMapReturnToSolidBands) {
    select(QStringLiteral("Alumina"));
    TCrystalEBSPpanel* map = form->CrystalEBSPpanel2;
    const TKikuchiBandStyle expected[3] = {kbEdge, kbCentre, kbSolid};
    QAction* checked[3] = {form->MenuEdges1, form->MenuCentres1, form->MenuSolid1};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseDClick(map, Qt::LeftButton, {}, map->rect().center());
        EXPECT_EQ(map->KikuchiBandStyle(), expected[i]) << i;
        EXPECT_TRUE(checked[i]->isChecked()) << i;
        EXPECT_EQ(form->BandStyleIndex, (i + 1) % 3);
    }
    EXPECT_EQ(form->CrystalEBSPpanel1->KikuchiBandStyle(), kbCentre);
}

TEST_F(AppWindow, RadioItemsChooseTheStyleByTag) {
    form->MenuCentres1->trigger();
    EXPECT_EQ(form->CrystalEBSPpanel2->KikuchiBandStyle(), kbCentre);
    EXPECT_EQ(form->BandStyleIndex, 2);
    EXPECT_TRUE(form->MenuCentres1->isChecked());
    EXPECT_FALSE(form->MenuSolid1->isChecked());
    form->MenuEdges1->trigger();
    EXPECT_EQ(form->CrystalEBSPpanel2->KikuchiBandStyle(), kbEdge);
    EXPECT_EQ(form->BandStyleIndex, 1);
    QAction foreign;
    foreign.setData(999);
    form->MenuSolid1Click(&foreign);
    EXPECT_EQ(form->CrystalEBSPpanel2->KikuchiBandStyle(), kbEdge);
    EXPECT_TRUE(form->MenuEdges1->isChecked());
}

TEST_F(AppWindow, MenuItemsHaveTheirCaptionsAndHiddenHighlightItem) {
    EXPECT_EQ(form->MenuSpin1->text(), QStringLiteral("Active spin cycle"));
    EXPECT_FALSE(form->MenuHighlightplaneandzone1->isVisible());
    EXPECT_FALSE(form->MenuItem2->isVisible());
    EXPECT_TRUE(form->N1->isSeparator());
    EXPECT_EQ(form->BandStyleGroup->actions().size(), 3);
    // The check marks of the two toggled items follow their handlers, once per click.
    form->MenuHighlightplaneandzone1->trigger();
    EXPECT_TRUE(form->MenuHighlightplaneandzone1->isChecked());
    form->MenuSpin1->trigger();
    EXPECT_TRUE(form->MenuSpin1->isChecked());
    EXPECT_TRUE(form->Timer1->isActive());
    form->MenuSpin1->trigger();
    EXPECT_FALSE(form->MenuSpin1->isChecked());
    EXPECT_FALSE(form->Timer1->isActive());
}

// ---- Spin cycle ------------------------------------------------------------------------------

// Bunge matrix g (specimen to crystal), written out independently of the library.
std::array<double, 9> bunge(const TVec3D& e) {
    const double c1 = std::cos(e.x), s1 = std::sin(e.x), c = std::cos(e.y), s = std::sin(e.y),
                 c2 = std::cos(e.z), s2 = std::sin(e.z);
    return {c1 * c2 - s1 * s2 * c,
            s1 * c2 + c1 * s2 * c,
            s2 * s,  // row 1
            -c1 * s2 - s1 * c2 * c,
            -s1 * s2 + c1 * c2 * c,
            c2 * s,  // row 2
            s1 * s,
            -c1 * s,
            c};  // row 3
}

// Rotation by angle about the unit axis n (Rodrigues), row-major.
std::array<double, 9> rotation(TVec3D n, double angle) {
    const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    n = {n.x / len, n.y / len, n.z / len};
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {t * n.x * n.x + c,       t * n.x * n.y - s * n.z, t * n.x * n.z + s * n.y,
            t * n.x * n.y + s * n.z, t * n.y * n.y + c,       t * n.y * n.z - s * n.x,
            t * n.x * n.z - s * n.y, t * n.y * n.z + s * n.x, t * n.z * n.z + c};
}

std::array<double, 9> multiply(const std::array<double, 9>& a, const std::array<double, 9>& b) {
    std::array<double, 9> p{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                p[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    return p;
}

std::array<double, 9> transposed(const std::array<double, 9>& a) {
    return {a[0], a[3], a[6], a[1], a[4], a[7], a[2], a[5], a[8]};
}

TEST(AppRotateAboutAxis, IsGTimesROrRTransposedTimesG) {
    const TVec3D orientations[] = {{0.3, 0.7, 1.1}, {2.0, 2.5, -0.4}, {5.5, 0.2, 3.0}};
    const TVec3D axes[] = {{1, 0, 0}, {0.1, 0.9, 0}, {0, 0, 1}, {1, 2, 3}};
    const double angles[] = {3.14159265358979323846 / 173, -3.14159265358979323846 / 360, 0.8};
    for (const TVec3D& e : orientations)
        for (const TVec3D& axis : axes)
            for (double angle : angles)
                for (bool inverse : {false, true}) {
                    const TVec3D result = TForm1::RotateAboutAxis(e, axis, inverse, angle);
                    const auto g = bunge(e);
                    const auto r = rotation(axis, angle);
                    const auto expected = inverse ? multiply(transposed(r), g) : multiply(g, r);
                    const auto got = bunge(result);
                    for (int i = 0; i < 9; ++i)
                        EXPECT_NEAR(got[i], expected[i], 1e-9) << i;
                }
}

TEST_F(AppWindow, SpinStepTurnsBothViewsEqually) {
    select(QStringLiteral("Iron bcc"));
    services.answers = {QStringLiteral("20 30 40")};
    form->Orientation1Click();
    form->SpinStep();  // not running: nothing
    expectViewsAt(20, 30, 40);
    startSpin();
    const TVec3D e{20 / kRadToDeg, 30 / kRadToDeg, 40 / kRadToDeg};
    form->SpinStep();
    expectViewsAgree();
    const TVec3D e1 = TForm1::RotateAboutAxis(e, {1, 0, 0}, true, 0.018159495107455452);
    const TVec3D e2 = TForm1::RotateAboutAxis(e1, {0.1, 0.9, 0}, false, -0.008726646259971648);
    const TVec3D e3 = TForm1::RotateAboutAxis(e2, {0, 0, 1}, true, 0.006874382174157097);
    EXPECT_NEAR(form->CurrentOrientation.x, e3.x, 1e-12);
    EXPECT_NEAR(form->CurrentOrientation.y, e3.y, 1e-12);
    EXPECT_NEAR(form->CurrentOrientation.z, e3.z, 1e-12);
    // One step turns the crystal by about one degree, not more.
    const auto before = bunge(e);
    const auto after = bunge(form->CurrentOrientation);
    const auto relative = multiply(transposed(before), after);
    const double turn =
        std::acos(std::clamp((relative[0] + relative[4] + relative[8] - 1) / 2, -1.0, 1.0));
    EXPECT_GT(turn * kRadToDeg, 0.3);
    EXPECT_LT(turn * kRadToDeg, 2.5);
}

TEST_F(AppWindow, TimerTicksSpinAndChangePhaseAfterAMinute) {
    selectRow(18);  // Augite, the last phase
    services.tick = 5000;
    startSpin();
    EXPECT_EQ(form->LastPhaseChangeTick, 5000u);
    services.tick = 5000 + 60000;  // exactly a minute: not yet
    form->Timer1Timer();
    EXPECT_EQ(form->SelectedIndex(), 18);
    expectViewsAgree();
    services.tick = 5000 + 60001;
    const auto before = euler(form->CrystalEBSPpanel2);
    form->Timer1Timer();
    EXPECT_EQ(form->SelectedIndex(), 0);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Alumina"));
    EXPECT_EQ(form->LastPhaseChangeTick, 65001u);
    // The new phase is shown in the orientation the spin had reached.
    EXPECT_NE(euler(form->CrystalEBSPpanel2), before);
    expectViewsAgree();
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(AppWindow, ElapsedTimeIsCountedAcrossTheTickWrap) {
    selectRow(3);
    startSpin();
    form->LastPhaseChangeTick = 0xFFFFFF00u;
    services.tick = 0x00000100u;  // 512 ms later, after the wrap
    form->Timer1Timer();
    EXPECT_EQ(form->SelectedIndex(), 3);
    services.tick = 0xFFFFFF00u + 60001u;  // wraps to a small number
    form->Timer1Timer();
    EXPECT_EQ(form->SelectedIndex(), 4);
}

TEST_F(AppWindow, ATickWithNoSelectionSelectsTheFirstPhase) {
    startSpin();
    services.tick = 60001;
    form->Timer1Timer();
    EXPECT_EQ(form->SelectedIndex(), 0);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
}

TEST_F(AppWindow, ATickAfterTheItemWasUncheckedStopsTheTimer) {
    select(QStringLiteral("Quartz"));
    startSpin();
    form->MenuSpin1->setChecked(false);
    const auto before = euler(form->CrystalEBSPpanel2);
    form->Timer1Timer();
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(euler(form->CrystalEBSPpanel2), before);
}

TEST_F(AppWindow, MenusCellClicksAndResizingStopTheSpinInTheLastOrientation) {
    select(QStringLiteral("Iron bcc"));
    const auto stopAndCheck = [&](const char* what, const std::function<void()>& action) {
        startSpin();
        form->SpinStep();
        form->SpinStep();
        const auto reached = euler(form->CrystalEBSPpanel2);
        action();
        EXPECT_FALSE(form->MenuSpin1->isChecked()) << what;
        EXPECT_FALSE(form->Timer1->isActive()) << what;
        expectViewsAt(reached[0], reached[1], reached[2]);
        expectViewsAgree();
    };
    stopAndCheck("cell menu", [&] {
        form->PopupMenu1->popup(form->mapToGlobal(QPoint(200, 100)));
        QApplication::processEvents();
        form->PopupMenu1->close();
    });
    stopAndCheck("map menu", [&] {
        form->PopupMenu2->popup(form->mapToGlobal(QPoint(200, 400)));
        QApplication::processEvents();
        form->PopupMenu2->close();
    });
    stopAndCheck("cell click", [&] {
        QTest::mouseClick(form->CrystalEBSPpanel1, Qt::LeftButton, {}, QPoint(5, 5));
    });
    stopAndCheck("resize", [&] {
        form->resize(520, 700);
        QApplication::processEvents();
    });

    // A click on the map leaves it running.
    startSpin();
    QTest::mouseClick(form->CrystalEBSPpanel2, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(form->MenuSpin1->isChecked());
    EXPECT_TRUE(form->Timer1->isActive());
    form->StopSpinCycle();
}

// ---- Web button ------------------------------------------------------------------------------

TEST_F(AppWindow, WebButtonOpensTheAddressAndReportsAFailure) {
    QCoreApplication::setApplicationName(QStringLiteral("Velloran"));
    form->SpeedButton2->click();
    ASSERT_EQ(services.openedUrls.size(), 1u);
    EXPECT_EQ(services.openedUrls[0], QUrl(QString::fromLatin1(kKorvellWebAddress)));
    EXPECT_TRUE(services.errors.empty());

    services.openUrlSucceeds = false;
    form->SpeedButton2Click();
    ASSERT_EQ(services.errors.size(), 1u);
    EXPECT_EQ(services.errors[0].text, QStringLiteral("Unable to open web browser "));
    EXPECT_EQ(services.errors[0].caption, QStringLiteral("Velloran"));
    // The hidden button, which shows the address, does the same.
    EXPECT_EQ(form->SpeedButton1->text(), QString::fromLatin1(kKorvellWebAddress));
    EXPECT_FALSE(form->SpeedButton1->isVisible());
    form->SpeedButton1->click();
    EXPECT_EQ(services.openedUrls.size(), 3u);
}

}  // namespace
