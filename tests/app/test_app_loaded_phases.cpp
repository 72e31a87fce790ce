// Phases loaded from files in the main window: adding (menu, shortcut, drop),
// picking a structure block, refusing broken files, removing, keeping the list
// across starts, and the spin cycle over loaded phases.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <cstring>

#include "app_test_fixture.h"
#include "loaded_phases.h"
#include "panel_probe.h"
#include "status_bar.h"

namespace {

const char* const kCopperCif = R"(# fcc copper
data_copper
_chemical_name_common 'Copper'
_space_group_name_H-M_alt 'F m -3 m'
_cell_length_a 3.615
_cell_length_b 3.615
_cell_length_c 3.615
_cell_angle_alpha 90
_cell_angle_beta 90
_cell_angle_gamma 90
loop_
_atom_site_label
_atom_site_type_symbol
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
Cu1 Cu 0 0 0
)";

// A second structure block after copper: hexagonal magnesium.
const char* const kMagnesiumBlock = R"(
data_magnesium
_chemical_name_common 'Magnesium'
_space_group_name_H-M_alt 'P 63/m m c'
_cell_length_a 3.209
_cell_length_b 3.209
_cell_length_c 5.211
_cell_angle_alpha 90
_cell_angle_beta 90
_cell_angle_gamma 120
loop_
_atom_site_label
_atom_site_type_symbol
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
Mg1 Mg 0.3333333 0.6666667 0.25
)";

const char* const kCubicCrystalFile =
    "VER3.1\r\nCubic test\r\nref\r\n11\r\n3.2 3.2 3.2 90 90 90\r\n";

// The copper file with one of its lines replaced.
std::string copperWith(const char* from, const char* to) {
    std::string text = kCopperCif;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, std::strlen(from), to);
}

class LoadedPhasesWindow : public AppWindowFixture {
  protected:
    QString write(const QString& name, const std::string& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }
    void add(const QString& path) {
        services.fileAnswers.push_back({path});
        form->AddPhaseFromFile1Click();
    }
    void selectRow(int row) {
        form->ListBox1->setCurrentRow(row);
        ASSERT_EQ(form->SelectedIndex(), row);
    }
    // A second start: a new window on the same user settings.
    void restart() {
        form.reset();
        form = std::make_unique<TForm1>(&services);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < form->ListBox1->count(); ++i)
            names << form->ListBox1->item(i)->text();
        return names;
    }
    bool greyed(int row) const {
        return form->ListBox1->item(row)->foreground().color() ==
               form->ListBox1->palette().color(QPalette::Disabled, QPalette::Text);
    }
    void drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = form->CrystalEBSPpanel2->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &dropped);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
};

// ---- Adding ---------------------------------------------------------------------------------

TEST_F(LoadedPhasesWindow, ACifIsListedBelowTheBuiltInsSelectedAndShownAsABuiltInPhase) {
    const QString path = write(QStringLiteral("copper.cif"), kCopperCif);
    add(path);
    ASSERT_TRUE(services.errors.empty()) << services.errors.front().text.toStdString();
    ASSERT_EQ(form->ListBox1->count(), 20);
    QListWidgetItem* item = form->ListBox1->item(19);
    EXPECT_EQ(item->text(), QStringLiteral("Copper"));
    EXPECT_TRUE(item->font().italic());
    EXPECT_FALSE(form->ListBox1->item(18)->font().italic());
    EXPECT_TRUE(item->toolTip().startsWith(path));
    EXPECT_FALSE(greyed(19));
    EXPECT_EQ(form->SelectedIndex(), 19);

    EXPECT_EQ(form->Label1->text(),
              QString::fromUtf8("Phase=Copper\r\nSpace Group=225, F m -3 m\r\n"
                                "Crystal System=Cubic\r\na=3.615\u00C5\r\n"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 0));
    EXPECT_EQ(form->CurrentCrySet.LaueGroup, 11);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel1).CrystalSet(), &form->CurrentCrySet);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);

    // The map's reflectors: face-centred (indices all odd or all even), strongest
    // {111} first, spacings of the cubic cell, whole families below the request.
    const int count = form->CrystalEBSPpanel2->ReflectorCount();
    EXPECT_GT(count, 40);
    EXPECT_LT(count, 100);
    const double a = double(3.615f);
    for (int i = 0; i < count; ++i) {
        const ebsp::Reflector& r = viewtest::probe(form->CrystalEBSPpanel2).ReflectorRecord(i);
        const int odd = (r.h & 1) + (r.k & 1) + (r.l & 1);
        EXPECT_TRUE(odd == 0 || odd == 3) << i;
        EXPECT_NEAR(r.d, a / std::sqrt(double(r.h * r.h + r.k * r.k + r.l * r.l)), 1e-9) << i;
        if (i < 4) {
            EXPECT_EQ(std::abs(r.h) + std::abs(r.k) + std::abs(r.l), 3) << i;
            EXPECT_DOUBLE_EQ(r.intensity, 100.0);
        }
    }
    EXPECT_NE(form->CurrentPhase.Reflectors[count].Family,
              form->CurrentPhase.Reflectors[count - 1].Family);
    // The status bar reads out the direction under the pointer, as for a built-in phase.
    QTest::mouseMove(form->CrystalEBSPpanel2, form->CrystalEBSPpanel2->rect().center());
    EXPECT_EQ(form->StatusBar1->panelText(0), kMapHint);
    EXPECT_TRUE(form->StatusBar1->panelText(1).endsWith(QStringLiteral(" crystal direction")))
        << form->StatusBar1->panelText(1).toStdString();
}

TEST_F(LoadedPhasesWindow, TheMenuHasItsItemsAndCtrlOOpensTheFileDialog) {
    EXPECT_EQ(form->AddPhaseFromFile1->text(), QStringLiteral("Add phase from file..."));
    EXPECT_EQ(form->AddPhaseFromFile1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(form->RemovePhase1->text(), QStringLiteral("Remove phase"));
    services.fileAnswers.push_back({write(QStringLiteral("cu.cif"), kCopperCif)});
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(services.fileAnswers.empty());
    EXPECT_EQ(form->ListBox1->count(), 20);
    // A cancelled dialog adds nothing.
    form->AddPhaseFromFile1Click();
    EXPECT_EQ(form->ListBox1->count(), 20);
    EXPECT_TRUE(services.errors.empty());
}

TEST_F(LoadedPhasesWindow, DroppedFilesAreAddedAndTheLastIsSelected) {
    const QString copper = write(QStringLiteral("copper.cif"), kCopperCif);
    const QString cubic = write(QStringLiteral("cubic.cry"), kCubicCrystalFile);
    // Text without files is refused.
    QMimeData text;
    text.setText(QStringLiteral("copper"));
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());

    drop({QUrl::fromLocalFile(copper), QUrl::fromLocalFile(cubic)});
    ASSERT_TRUE(services.errors.empty()) << services.errors.front().text.toStdString();
    EXPECT_EQ(listed().mid(19), (QStringList{"Copper", "Cubic test"}));
    EXPECT_EQ(form->SelectedIndex(), 20);
    // A crystal file: Laue-coded, bands by spacing, the note in the tooltip.
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Phase=Cubic test\r\nLaue Group=11 (m3m)\r\n"
                                                      "Crystal System=Cubic\r\na=3.2\u00C5\r\n"));
    EXPECT_TRUE(form->ListBox1->item(20)->toolTip().contains(
        QStringLiteral("no structure: bands by spacing only")));
    EXPECT_GT(form->CrystalEBSPpanel2->ReflectorCount(), 20);
}

TEST_F(LoadedPhasesWindow, TheLaueGroupOfTheFileReachesTheLibrary) {
    // P -3 1 m: the library's -3m has its two-fold axes along a, this structure's are not.
    add(QStringLiteral(APP_TEST_STRUCTURES "/trigonal_p31m.cif"));
    ASSERT_TRUE(services.errors.empty());
    EXPECT_EQ(form->CurrentCrySet.LaueGroup, 6);
    EXPECT_EQ(form->Label1->text(),
              QString::fromUtf8("Phase=P-31m test\r\nSpace Group=162, P -3 1 m\r\n"
                                "Crystal System=Trigonal\r\na=5 c=4\u00C5 gamma=120\u00B0\r\n"));
    EXPECT_EQ(form->CrystalEBSPpanel1->FaceColour(), QColor(0, 255, 255));
}

TEST_F(LoadedPhasesWindow, AFileWithSeveralStructuresLetsTheUserPickOne) {
    const QString path =
        write(QStringLiteral("two.cif"), std::string(kCopperCif) + kMagnesiumBlock);
    services.itemAnswers = {std::nullopt};  // cancelled: nothing added, nothing said
    add(path);
    EXPECT_EQ(form->ListBox1->count(), 19);
    services.itemAnswers = {1};
    add(path);
    ASSERT_EQ(services.itemChoices.size(), 2u);
    EXPECT_EQ(services.itemChoices.back(), (QStringList{"copper", "magnesium"}));
    EXPECT_TRUE(services.errors.empty());
    ASSERT_EQ(form->ListBox1->count(), 20);
    EXPECT_EQ(form->ListBox1->item(19)->text(), QStringLiteral("Magnesium"));
    EXPECT_TRUE(form->ListBox1->item(19)->toolTip().contains(QStringLiteral("magnesium")));
    EXPECT_EQ(form->CurrentCrySet.LaueGroup, 9);
    // The block chosen comes back at the next start.
    restart();
    ASSERT_EQ(form->ListBox1->count(), 20);
    EXPECT_EQ(form->Loaded().at(0).blockName, QStringLiteral("magnesium"));
    EXPECT_EQ(form->Loaded().at(0).phase->record.SpaceGroupCode, 194);
}

// ---- Refusing ---------------------------------------------------------------------------------

TEST_F(LoadedPhasesWindow, ABrokenFileShowsOneMessageAndAddsNothing) {
    struct Case {
        const char* file;
        std::string text;
        const char* what;  // in the message
    };
    const Case cases[] = {
        {"nocell.cif", copperWith("_cell_length_a 3.615\n", ""), "_cell_length_a"},
        {"element.cif", copperWith("Cu1 Cu", "Cu1 Qq"), "Qq"},
        {"nogroup.cif", copperWith("_space_group_name_H-M_alt 'F m -3 m'\n", ""), "space"},
        {"garbage.cif", "this is not a CIF \x01\x02 'unclosed\n", ""},
        {"flat.cif",
         copperWith("_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90",
                    "_cell_angle_alpha 120\n_cell_angle_beta 120\n"
                    "_cell_angle_gamma 120"),
         "no cell"},
        {"zero.cry", "VER3.1\r\nZero cell\r\nref\r\n11\r\n0 0 0 90 90 90\r\n", "no cell"},
        {"refused.cry", "VER2.1\r\nOld\r\nref\r\n11\r\n3 3 3 90 90 90\r\n", "version"},
    };
    form->ListBox1->setCurrentRow(2);  // Iron bcc stays shown
    const TCrySet before = form->CurrentCrySet;
    for (const Case& c : cases) {
        services.errors.clear();
        const QString path = write(QString::fromLatin1(c.file), c.text);
        add(path);
        ASSERT_EQ(services.errors.size(), 1u) << c.file;
        const QString message = services.errors.front().text;
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.what))) << message.toStdString();
        EXPECT_EQ(form->ListBox1->count(), 19) << c.file;
        EXPECT_EQ(form->SelectedIndex(), 2) << c.file;
        EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Iron bcc"));
        EXPECT_EQ(std::memcmp(&before, &form->CurrentCrySet, sizeof before), 0) << c.file;
    }
    services.errors.clear();
    add(dir.filePath(QStringLiteral("absent.cif")));
    add(dir.path());
    ASSERT_EQ(services.errors.size(), 2u);
    EXPECT_TRUE(services.errors[0].text.contains(QStringLiteral("absent.cif")));
    EXPECT_TRUE(services.errors[1].text.contains(QStringLiteral("folder")));
    EXPECT_EQ(form->ListBox1->count(), 19);
    restart();
    EXPECT_EQ(form->ListBox1->count(), 19);
}

// ---- Removing and keeping
// -------------------------------------------------------------------------

TEST_F(LoadedPhasesWindow, RemoveIsOfferedOnLoadedPhasesOnlyAndShowsThePhaseAbove) {
    add(write(QStringLiteral("copper.cif"), kCopperCif));
    add(write(QStringLiteral("cubic.cry"), kCubicCrystalFile));
    // A right click on the list opens the menu for the row under the pointer.
    QListWidget* list = form->ListBox1;
    for (const int row : {19, 2}) {
        list->scrollToItem(list->item(row));
        emit list->customContextMenuRequested(list->visualItemRect(list->item(row)).center());
        EXPECT_TRUE(form->PopupMenu3->isVisible());
        EXPECT_EQ(form->RemovePhase1->isEnabled(), row == 19) << row;
        form->PopupMenu3->hide();
    }
    form->PopupMenu3Popup(3);
    EXPECT_FALSE(form->RemovePhase1->isEnabled());
    form->PopupMenu3Popup(-1);
    EXPECT_FALSE(form->RemovePhase1->isEnabled());
    form->PopupMenu3Popup(19);
    EXPECT_TRUE(form->RemovePhase1->isEnabled());
    // The row the menu was opened on goes, though another one is selected.
    form->RemovePhase1->trigger();
    EXPECT_EQ(listed().mid(18), (QStringList{"Augite", "Cubic test"}));
    EXPECT_EQ(form->SelectedIndex(), 19);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Cubic test"));
    // The selected one goes: the phase above it is shown.
    form->RemovePhase1Click();
    EXPECT_EQ(form->ListBox1->count(), 19);
    EXPECT_EQ(form->SelectedIndex(), 18);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Augite"));
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    // A built-in phase is never removed.
    form->RemovePhase1Click();
    EXPECT_EQ(form->ListBox1->count(), 19);
    restart();
    EXPECT_EQ(form->ListBox1->count(), 19);
    EXPECT_TRUE(services.errors.empty());
}

TEST_F(LoadedPhasesWindow, LoadedPhasesComeBackAndAVanishedFileIsListedGreyed) {
    const QString copper = write(QStringLiteral("copper.cif"), kCopperCif);
    const QString cubic = write(QStringLiteral("cubic.cry"), kCubicCrystalFile);
    add(copper);
    add(cubic);
    restart();
    EXPECT_EQ(listed().mid(19), (QStringList{"Copper", "Cubic test"}));
    EXPECT_TRUE(form->ListBox1->item(19)->font().italic());
    EXPECT_EQ(form->SelectedIndex(), -1);
    // Kept in the user's settings file: paths only, never the phases themselves.
    {
        QSettings kept(services.settingsFile(), QSettings::IniFormat);
        EXPECT_EQ(kept.beginReadArray(QStringLiteral("LoadedPhases")), 2);
        kept.setArrayIndex(0);
        EXPECT_EQ(kept.value(QStringLiteral("path")).toString(), copper);
        kept.endArray();
    }

    ASSERT_TRUE(QFile::remove(copper));
    restart();
    EXPECT_EQ(listed().mid(19), (QStringList{"Copper", "Cubic test"}));
    EXPECT_TRUE(greyed(19));
    EXPECT_FALSE(greyed(20));
    EXPECT_TRUE(form->ListBox1->item(19)->toolTip().contains(QStringLiteral("no such file")));
    EXPECT_TRUE(services.errors.empty());  // listed, not shouted about at start
    // Selecting it shows why and no crystal.
    selectRow(19);
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), nullptr);
    EXPECT_TRUE(form->Label1->text().startsWith(QStringLiteral("Phase=Copper\r\n")));
    EXPECT_TRUE(form->Label1->text().contains(QStringLiteral("no such file")));
    // Still listed at the next start; gone once removed.
    restart();
    EXPECT_EQ(form->ListBox1->count(), 21);
    form->PopupMenu3Popup(19);
    EXPECT_TRUE(form->RemovePhase1->isEnabled());
    form->RemovePhase1->trigger();
    restart();
    EXPECT_EQ(listed().mid(19), (QStringList{"Cubic test"}));
    // A file that comes back is read again.
    add(write(QStringLiteral("copper.cif"), kCopperCif));
    restart();
    EXPECT_EQ(listed().mid(19), (QStringList{"Cubic test", "Copper"}));
    EXPECT_FALSE(greyed(20));
}

TEST_F(LoadedPhasesWindow, AddingAFileAgainReadsItAgainInItsPlace) {
    const QString path = write(QStringLiteral("copper.cif"), kCopperCif);
    add(path);
    write(QStringLiteral("copper.cif"), copperWith("'Copper'", "'Copper, reread'"));
    add(path);
    EXPECT_EQ(listed().mid(19), (QStringList{"Copper, reread"}));
    EXPECT_EQ(form->SelectedIndex(), 19);
}

// ---- Spin cycle ------------------------------------------------------------------------------

TEST_F(LoadedPhasesWindow, TheSpinCycleVisitsLoadedPhasesAndSkipsUnreadableOnes) {
    const QString copper = write(QStringLiteral("copper.cif"), kCopperCif);
    const QString cubic = write(QStringLiteral("cubic.cry"), kCubicCrystalFile);
    add(copper);
    add(cubic);
    ASSERT_TRUE(QFile::remove(cubic));
    restart();
    selectRow(18);  // Augite
    services.tick = 1000;
    form->MenuSpin1Click();
    const auto nextMinute = [&] {
        services.tick += 60001;
        form->Timer1Timer();
    };
    nextMinute();
    EXPECT_EQ(form->SelectedIndex(), 19);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Copper"));
    EXPECT_EQ(viewtest::probe(form->CrystalEBSPpanel2).CrystalSet(), &form->CurrentCrySet);
    nextMinute();  // the greyed "Cubic test" is passed over
    EXPECT_EQ(form->SelectedIndex(), 0);
    EXPECT_EQ(QString::fromLatin1(form->CurrentPhase.Name), QStringLiteral("Alumina"));
    form->StopSpinCycle();
}

// ---- The store alone ---------------------------------------------------------------------------

TEST(LoadedPhaseStore, SettingsRoundTripKeepsOrderBlocksAndNames) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    LoadedPhases phases;
    for (const char* name : {"b.cif", "a.cif", "c.cif"}) {
        LoadedPhase entry;
        entry.path = dir.filePath(QString::fromLatin1(name));
        entry.blockName = QStringLiteral("block_") + QString::fromLatin1(name);
        entry.name = QStringLiteral("Name ") + QString::fromLatin1(name);
        entry.problem = QStringLiteral("unread");
        phases.put(entry);
    }
    {
        QSettings settings(file, QSettings::IniFormat);
        phases.save(settings);
    }
    LoadedPhases restored;
    QSettings settings(file, QSettings::IniFormat);
    restored.restore(settings);
    ASSERT_EQ(restored.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(restored.at(i).path, phases.at(i).path);
        EXPECT_EQ(restored.at(i).blockName, phases.at(i).blockName);
        EXPECT_EQ(restored.at(i).name, phases.at(i).name);
        EXPECT_FALSE(restored.at(i).usable());
        EXPECT_TRUE(restored.at(i).problem.contains(QStringLiteral("no such file")));
    }
}

}  // namespace
